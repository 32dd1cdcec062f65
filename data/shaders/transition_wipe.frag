#version 330 core
// The screen-transition wipe: the captured frame drawn opaque (the back
// buffer's alpha is no coverage), faded by the vertex alpha and, for the
// circular wipe, by the mask bound on stage 1.
in vec4 vColour;
in vec2 vUV0;
in vec2 vUV1;
uniform sampler2D uTex0;
uniform sampler2D uTex1;
uniform float uUseMask;
out vec4 fragColour;
void main()
{
    vec4 c = vec4(texture(uTex0, vUV0).rgb, 1.0) * vColour;
    if (uUseMask > 0.5)
        c.a *= texture(uTex1, vUV1).a;
    if (c.a < 0.5 / 255.0)
        discard;
    fragColour = c;
}
