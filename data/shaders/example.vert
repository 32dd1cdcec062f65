#version 330 core
// The standard vertex stage: screen pixels (centres on whole numbers) to clip
// space. Effects may leave out their .vert file to get exactly this.
in vec4 aPosition;
in vec4 aColour;
in vec2 aUV0;
in vec2 aUV1;
uniform vec2 uTargetSize;
uniform float uFlipY;
out vec4 vColour;
out vec2 vUV0;
out vec2 vUV1;
void main()
{
    vec2 ndc = (aPosition.xy + 0.5) / uTargetSize * 2.0 - 1.0;
    gl_Position = vec4(ndc.x, ndc.y * uFlipY, 0.0, 1.0);
    vColour = aColour;
    vUV0 = aUV0;
    vUV1 = aUV1;
}
