#pragma once
// The game's challenge server (tools/qlmserver) on 127.0.0.1 with a free
// port and a data folder of its own, for the length of a test.
#include "ChallengeServer.h"
#include "support/LoopbackHttpServer.h"
#include "support/TempDir.h"

#include <memory>
#include <string>

class LocalChallengeServer {
public:
    LocalChallengeServer() : challenges(data.Path()) { challenges.Register(loopback.server); }
    bool Start() { return loopback.Start(); }
    std::string Url() const { return loopback.Url(); }
    std::string DataFile(const std::string& name) const { return data.Path() + "/" + name; }

    TempDir data;
    ChallengeServer challenges;
    LoopbackHttpServer loopback;
};
