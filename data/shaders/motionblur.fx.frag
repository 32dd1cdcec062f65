#version 330 core
// Motion blur along the camera's last jump: the frame averaged over a short
// line of samples; the offsets are one pixel along the jump, in texture units.
in vec4 vColour;
in vec2 vUV0;
uniform sampler2D uTex0;
uniform float bluroffsetx;
uniform float bluroffsety;
uniform float blurintensity;
out vec4 fragColour;
void main()
{
    vec2 step = vec2(bluroffsetx, -bluroffsety) * 16.0 * clamp(blurintensity, 0.0, 1.0);
    vec3 sum = vec3(0.0);
    for (int i = -4; i <= 4; ++i)
        sum += texture(uTex0, vUV0 + step * (float(i) / 4.0)).rgb;
    fragColour = vec4(sum / 9.0, 1.0);
}
