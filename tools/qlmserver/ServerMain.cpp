// qlm_server: the game's challenge server on this machine.
//   qlm_server --data FOLDER [--host 127.0.0.1] [--port 8080] [--port-file FILE] [--delay-ms N]
// Port 0 takes a free port; --port-file receives the port once it listens.
#include "ChallengeServer.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace {
httplib::Server* g_server = nullptr;
void Stop(int)
{
    if (g_server)
        g_server->stop();
}
} // namespace

int main(int argc, char** argv)
{
    std::string data, host = "127.0.0.1", portFile;
    int port = 8080;
    int delayMs = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--data" && hasValue)
            data = argv[++i];
        else if (a == "--host" && hasValue)
            host = argv[++i];
        else if (a == "--port" && hasValue)
            port = std::atoi(argv[++i]);
        else if (a == "--delay-ms" && hasValue)
            delayMs = std::atoi(argv[++i]);
        else if (a == "--port-file" && hasValue)
            portFile = argv[++i];
        else {
            std::fprintf(stderr, "usage: %s --data FOLDER [--host ADDRESS] [--port N] [--port-file FILE] [--delay-ms N]\n", argv[0]);
            return 2;
        }
    }
    if (data.empty()) {
        std::fprintf(stderr, "qlm_server: --data FOLDER is required\n");
        return 2;
    }
    ChallengeServer challenges(data);
    challenges.SetDelayMs(delayMs);
    httplib::Server server;
    challenges.Register(server);
    const int bound = port == 0 ? server.bind_to_any_port(host) : (server.bind_to_port(host, port) ? port : -1);
    if (bound <= 0) {
        std::fprintf(stderr, "qlm_server: cannot listen on %s:%d\n", host.c_str(), port);
        return 1;
    }
    g_server = &server;
    std::signal(SIGINT, Stop);
    std::signal(SIGTERM, Stop);
    if (!portFile.empty()) {
        const std::string temp = portFile + ".tmp";
        std::ofstream(temp) << bound << "\n";
        std::rename(temp.c_str(), portFile.c_str());
    }
    std::printf("qlm_server: http://%s:%d/ serving %s\n", host.c_str(), bound, data.c_str());
    std::fflush(stdout);
    server.listen_after_bind();
    return 0;
}
