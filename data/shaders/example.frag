#version 330 core
// Example effect: the sprite's colours scaled by a brightness and pulled
// towards grey by a desaturation amount, both set by name from the game.
in vec4 vColour;
in vec2 vUV0;
in vec2 vUV1;
uniform sampler2D uTex0;
uniform int uUseTexture;
uniform float uBrightness;
uniform float uDesaturate;
out vec4 fragColour;
void main()
{
    vec4 c = vColour;
    if (uUseTexture != 0)
        c *= texture(uTex0, vUV0);
    float grey = dot(c.rgb, vec3(0.299, 0.587, 0.114));
    c.rgb = mix(c.rgb, vec3(grey), clamp(uDesaturate, 0.0, 1.0)) * uBrightness;
    if (c.a < 0.5 / 255.0)
        discard;
    fragColour = c;
}
