// The least any program pays on this machine's GL to show a window: an SDL window of the
// game's kind (GL 3.3 core, depth buffer), one small program, one full-screen textured quad,
// presented; then it waits for events as an idle game does. bench/start-and-memory.sh runs
// it beside the game, so the game's start-up and memory can be read against this floor.
//   tandrel-gl-floor WIDTH HEIGHT    prints the monotonic ms of the window made and of the
//                                    first frame presented, then waits until closed
#include <SDL.h>
#include <epoxy/gl.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

namespace
{
long long Now()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (static_cast<long long>(t.tv_sec) * 1000 + t.tv_nsec / 1000000) % 4294967296LL;
}

GLuint Shader(GLenum kind, const char* source)
{
    const GLuint s = glCreateShader(kind);
    glShaderSource(s, 1, &source, nullptr);
    glCompileShader(s);
    return s;
}
} // namespace

int main(int argc, char** argv)
{
    const int width = argc > 2 ? std::atoi(argv[1]) : 1280;
    const int height = argc > 2 ? std::atoi(argv[2]) : 1024;
    if (SDL_Init(SDL_INIT_VIDEO) != 0)
    {
        std::fprintf(stderr, "tandrel-gl-floor: %s\n", SDL_GetError());
        return 1;
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_Window* window = SDL_CreateWindow("tandrel-gl-floor", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                          width, height, SDL_WINDOW_OPENGL);
    if (window == nullptr || SDL_GL_CreateContext(window) == nullptr)
    {
        std::fprintf(stderr, "tandrel-gl-floor: %s\n", SDL_GetError());
        return 1;
    }
    std::printf("window %lld\n", Now());
    const GLuint program = glCreateProgram();
    glAttachShader(program, Shader(GL_VERTEX_SHADER, "#version 330 core\n"
                                                     "layout(location = 0) in vec2 p; out vec2 uv;\n"
                                                     "void main() { uv = p * 0.5 + 0.5; gl_Position = vec4(p, 0, 1); }"));
    glAttachShader(program, Shader(GL_FRAGMENT_SHADER, "#version 330 core\n"
                                                       "in vec2 uv; uniform sampler2D t; out vec4 c;\n"
                                                       "void main() { c = texture(t, uv); }"));
    glLinkProgram(program);
    glUseProgram(program);
    const float quad[] = {-1, -1, 1, -1, -1, 1, 1, 1};
    GLuint vao = 0, vbo = 0, texture = 0;
    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);
    glGenBuffers(1, &vbo);
    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    glBufferData(GL_ARRAY_BUFFER, sizeof quad, quad, GL_STATIC_DRAW);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    const std::vector<unsigned> pixels(64 * 64, 0xFF336699u);
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 64, 64, 0, GL_BGRA, GL_UNSIGNED_BYTE, pixels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glViewport(0, 0, width, height);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    SDL_GL_SwapWindow(window);
    glFinish();
    std::printf("frame %lld\n", Now());
    std::fflush(stdout);
    SDL_Event e;
    while (SDL_WaitEvent(&e) != 0 && e.type != SDL_QUIT)
    {
    }
    SDL_Quit();
    return 0;
}
