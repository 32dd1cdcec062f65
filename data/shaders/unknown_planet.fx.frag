#version 330 core
// A world the player does not hold: its own picture drained to a cold grey
// behind a faint sensor raster, so that its shape shows but nothing of it.
in vec4 vColour;
in vec2 vUV0;
uniform sampler2D uTex0;
out vec4 fragColour;
void main()
{
    vec4 t = texture(uTex0, vUV0);
    float grey = dot(t.rgb, vec3(0.299, 0.587, 0.114));
    vec3 c = vec3(grey) * vec3(0.78, 0.84, 0.95);
    c *= 0.75 + 0.25 * step(0.5, fract(gl_FragCoord.y * 0.5));
    fragColour = vec4(c, t.a) * vColour;
}
