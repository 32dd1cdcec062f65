#version 330 core
// Cuts a picture to its opaque part: what is mostly clear is dropped, the
// rest drawn solid in its own colour.
in vec4 vColour;
in vec2 vUV0;
uniform sampler2D uTex0;
uniform int uUseTexture;
out vec4 fragColour;
void main()
{
    vec4 c = vColour;
    if (uUseTexture != 0)
        c *= texture(uTex0, vUV0);
    if (c.a < 0.5)
        discard;
    fragColour = vec4(c.rgb, 1.0);
}
