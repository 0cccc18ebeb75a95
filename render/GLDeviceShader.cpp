#include "render/GLDevice_local.h"

#include <string>

namespace
{
const char* const VertexShader = R"(#version 330 core
layout(location = 0) in vec3 aPos;
layout(location = 1) in vec3 aNormal;
layout(location = 2) in vec4 aColour;
layout(location = 3) in vec2 aUV;

uniform mat4 uWorldView;
uniform mat4 uProj;
uniform mat3 uNormalMatrix;
uniform vec2 uPixelShift;
uniform bool uLighting;
uniform bool uNormalize;
uniform bool uSpecular;
uniform vec3 uAmbient;
uniform vec3 uMatAmbient;
uniform vec3 uMatSpecular;
uniform float uPower;
uniform bool uLightOn[2];
uniform vec3 uLightPos[2];
uniform vec3 uLightDiffuse[2];
uniform vec3 uLightSpecular[2];
uniform vec3 uLightAmbient[2];
uniform vec4 uLightParams[2]; // range, attenuation 0, 1, 2

out vec4 vDiffuse;
out vec3 vSpecular;
out vec2 vUV;

void main()
{
    vec4 p = uWorldView * vec4(aPos, 1.0);
    vec4 clip = uProj * p;
    // Depth 0..1 of the game's projection into GL's -1..1; pixel centres on integers.
    clip.z = 2.0 * clip.z - clip.w;
    clip.xy += uPixelShift * clip.w;
    gl_Position = clip;
    vUV = aUV;
    if (!uLighting)
    {
        vDiffuse = aColour;
        vSpecular = vec3(0.0);
        return;
    }
    vec3 n = uNormalMatrix * aNormal;
    if (uNormalize && dot(n, n) > 0.0)
    {
        n = normalize(n);
    }
    vec3 viewDir = normalize(-p.xyz);
    vec3 ambient = uAmbient;
    vec3 diffuse = vec3(0.0);
    vec3 specular = vec3(0.0);
    for (int i = 0; i < 2; ++i)
    {
        if (!uLightOn[i])
        {
            continue;
        }
        vec3 toLight = uLightPos[i] - p.xyz;
        float d = length(toLight);
        if (d > uLightParams[i].x)
        {
            continue;
        }
        float att = 1.0 / (uLightParams[i].y + uLightParams[i].z * d + uLightParams[i].w * d * d);
        vec3 l = d > 0.0 ? toLight / d : vec3(0.0, 0.0, 1.0);
        ambient += uLightAmbient[i] * att;
        float nl = dot(n, l);
        if (nl > 0.0)
        {
            diffuse += uLightDiffuse[i] * nl * att;
            if (uSpecular)
            {
                float nh = max(dot(n, normalize(l + viewDir)), 0.0);
                float f = uPower > 0.0 ? pow(nh, uPower) : 1.0;
                specular += uLightSpecular[i] * f * att;
            }
        }
    }
    vDiffuse = vec4(clamp(uMatAmbient * ambient + aColour.rgb * diffuse, 0.0, 1.0), aColour.a);
    vSpecular = clamp(uMatSpecular * specular, 0.0, 1.0);
}
)";

const char* const FragmentShader = R"(#version 330 core
in vec4 vDiffuse;
in vec3 vSpecular;
in vec2 vUV;
uniform sampler2D uTexture;
uniform int uColourMode; // 0 diffuse, 1 texture, 2 texture x diffuse
uniform int uAlphaMode;
out vec4 fragColour;

void main()
{
    vec4 t = vec4(1.0);
    if (uColourMode != 0 || uAlphaMode != 0)
    {
        t = texture(uTexture, vUV);
    }
    vec3 c = uColourMode == 0 ? vDiffuse.rgb : (uColourMode == 1 ? t.rgb : t.rgb * vDiffuse.rgb);
    float a = uAlphaMode == 0 ? vDiffuse.a : (uAlphaMode == 1 ? t.a : t.a * vDiffuse.a);
    fragColour = vec4(min(c + vSpecular, vec3(1.0)), a);
}
)";

GLuint Compile(GLenum kind, const char* source, std::string* error)
{
    const GLuint s = glCreateShader(kind);
    glShaderSource(s, 1, &source, nullptr);
    glCompileShader(s);
    GLint ok = 0;
    glGetShaderiv(s, GL_COMPILE_STATUS, &ok);
    if (!ok)
    {
        char log[2048] = {};
        glGetShaderInfoLog(s, sizeof(log), nullptr, log);
        if (error)
        {
            *error = std::string("shader: ") + log;
        }
        glDeleteShader(s);
        return 0;
    }
    return s;
}

} // namespace

bool TGLDevice::MakeProgram(std::string* error)
{
    const GLuint vs = Compile(GL_VERTEX_SHADER, VertexShader, error);
    const GLuint fs = Compile(GL_FRAGMENT_SHADER, FragmentShader, error);
    if (vs == 0 || fs == 0)
    {
        return false;
    }
    TImpl& g = *Impl;
    g.Program = glCreateProgram();
    glAttachShader(g.Program, vs);
    glAttachShader(g.Program, fs);
    glLinkProgram(g.Program);
    glDeleteShader(vs);
    glDeleteShader(fs);
    GLint linked = 0;
    glGetProgramiv(g.Program, GL_LINK_STATUS, &linked);
    if (!linked)
    {
        if (error)
        {
            *error = "shader program does not link";
        }
        return false;
    }
    glUseProgram(g.Program);
    auto loc = [&](const char* name) { return glGetUniformLocation(g.Program, name); };
    g.U.WorldView = loc("uWorldView");
    g.U.Proj = loc("uProj");
    g.U.NormalMatrix = loc("uNormalMatrix");
    g.U.PixelShift = loc("uPixelShift");
    g.U.Lighting = loc("uLighting");
    g.U.Normalize = loc("uNormalize");
    g.U.Specular = loc("uSpecular");
    g.U.Ambient = loc("uAmbient");
    g.U.MatAmbient = loc("uMatAmbient");
    g.U.MatSpecular = loc("uMatSpecular");
    g.U.Power = loc("uPower");
    g.U.LightOn = loc("uLightOn");
    g.U.LightPos = loc("uLightPos");
    g.U.LightDiffuse = loc("uLightDiffuse");
    g.U.LightSpecular = loc("uLightSpecular");
    g.U.LightAmbient = loc("uLightAmbient");
    g.U.LightParams = loc("uLightParams");
    g.U.Texture = loc("uTexture");
    g.U.ColourMode = loc("uColourMode");
    g.U.AlphaMode = loc("uAlphaMode");
    glUniform1i(g.U.Texture, 0);
    return true;
}
