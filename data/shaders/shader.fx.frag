#version 330 core
// The general battle effect: the picture's contrast pulled towards mid grey
// by "contrast" (1 leaves it as it is; wrecks grow duller as they age).
in vec4 vColour;
in vec2 vUV0;
uniform sampler2D uTex0;
uniform int uUseTexture;
uniform float contrast;
out vec4 fragColour;
void main()
{
    vec4 c = vColour;
    if (uUseTexture != 0)
        c *= texture(uTex0, vUV0);
    float k = contrast > 0.0 ? contrast : 1.0;
    c.rgb = (c.rgb - 0.5) * k + 0.5;
    if (c.a < 0.5 / 255.0)
        discard;
    fragColour = c;
}
