#version 330 core
// Two-texture effects laid over a ship: the first texture's alpha (a hull
// silhouette, a flow pattern or a flame) limits the second. The colour comes
// from the second texture, or from the first when uColourFromFirst is set.
in vec4 vColour;
in vec2 vUV0;
in vec2 vUV1;
uniform sampler2D uTex0;
uniform sampler2D uTex1;
uniform float uColourFromFirst;
uniform float uMirror;
out vec4 fragColour;
void main()
{
    vec2 uv1 = vUV1;
    if (uMirror > 0.5)
        uv1 = 1.0 - abs(mod(uv1, 2.0) - 1.0);
    vec4 first = texture(uTex0, vUV0) * vColour;
    vec4 second = texture(uTex1, uv1);
    float alpha = first.a * second.a;
    if (alpha < 0.5 / 255.0)
        discard;
    vec3 rgb = uColourFromFirst > 0.5 ? first.rgb : second.rgb;
    fragColour = vec4(rgb, alpha);
}
