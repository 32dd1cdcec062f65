#version 330 core
// The blueprint look of a hull picture: the picture's brightness becomes
// cyan ink on the blue paper, its edges drawn stronger than its faces.
in vec4 vColour;
in vec2 vUV0;
in vec2 vUV1;
uniform sampler2D uTex0;
uniform int uUseTexture;
out vec4 fragColour;
void main()
{
    vec4 c = vColour;
    if (uUseTexture != 0)
        c *= texture(uTex0, vUV0);
    vec2 texel = 1.0 / vec2(textureSize(uTex0, 0));
    float a = c.a;
    float ax = texture(uTex0, vUV0 + vec2(texel.x, 0.0)).a - texture(uTex0, vUV0 - vec2(texel.x, 0.0)).a;
    float ay = texture(uTex0, vUV0 + vec2(0.0, texel.y)).a - texture(uTex0, vUV0 - vec2(0.0, texel.y)).a;
    float edge = clamp(length(vec2(ax, ay)) * 2.0, 0.0, 1.0);
    float grey = dot(c.rgb, vec3(0.299, 0.587, 0.114));
    vec3 ink = vec3(0.45, 0.85, 1.0);
    float alpha = clamp(a * (0.25 + grey * 0.5) + edge, 0.0, 1.0) * vColour.a;
    if (alpha < 0.5 / 255.0)
        discard;
    fragColour = vec4(ink * (0.6 + 0.4 * edge), alpha);
}
