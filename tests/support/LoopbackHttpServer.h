#pragma once
// A cpp-httplib server on 127.0.0.1 with a free port, run on its own thread
// for the length of a test.
#include <httplib.h>

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

class LoopbackHttpServer {
public:
    httplib::Server server;

    // Call after the handlers are registered.
    bool Start()
    {
        m_port = server.bind_to_any_port("127.0.0.1");
        if (m_port <= 0)
            return false;
        m_thread = std::thread([this] { server.listen_after_bind(); });
        for (int i = 0; i < 5000 && !server.is_running(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return server.is_running();
    }

    ~LoopbackHttpServer() { Stop(); }

    void Stop()
    {
        server.stop();
        if (m_thread.joinable())
            m_thread.join();
    }

    int Port() const { return m_port; }
    std::string Url() const { return "http://127.0.0.1:" + std::to_string(m_port); }

private:
    int m_port = 0;
    std::thread m_thread;
};

// A socket on 127.0.0.1 bound to a free port. With listening on, the kernel
// completes connections that are then never answered; without it the port
// refuses connections.
class LoopbackSocket {
public:
    explicit LoopbackSocket(bool listening)
    {
        m_fd = socket(AF_INET, SOCK_STREAM, 0);
        if (m_fd < 0)
            return;
        sockaddr_in addr {};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof(addr);
        if (bind(m_fd, reinterpret_cast<sockaddr*>(&addr), len) != 0
            || getsockname(m_fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
            return;
        m_port = ntohs(addr.sin_port);
        if (listening)
            listen(m_fd, 8);
    }
    ~LoopbackSocket()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    LoopbackSocket(const LoopbackSocket&) = delete;
    LoopbackSocket& operator=(const LoopbackSocket&) = delete;

    int Port() const { return m_port; }
    std::string Url() const { return "http://127.0.0.1:" + std::to_string(m_port); }

private:
    int m_fd = -1;
    int m_port = 0;
};
