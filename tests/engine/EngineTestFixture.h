#pragma once
#include "engine/D3DEngine.h"
#include "engine/GDebugLog.h"
#include "platform/DdsImage.h"
#include "platform/HeadlessGraphicsDevice.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// Every engine test gets a fresh headless device of 800x600 and its own
// error log, so that logged failures can be counted.
class EngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GDebugLog::GetInstance().Open(m_logDir.Path());
        auto device = std::make_unique<HeadlessGraphicsDevice>(800, 600, UseShaders());
        m_device = device.get();
        ASSERT_TRUE(D3DEngine::GetInstance().Init(std::move(device)));
        D3DEngine::GetInstance().ClearTextureFolders();
    }
    void TearDown() override
    {
        D3DEngine::GetInstance().Release();
        D3DEngine::GetInstance().ClearTextureFolders();
        GDebugLog::GetInstance().Close();
    }
    virtual bool UseShaders() const { return false; }

    D3DEngine& Engine() { return D3DEngine::GetInstance(); }
    HeadlessGraphicsDevice& Device() { return *m_device; }

    // How many error lines hold this text.
    int ErrorCount(const std::string& text) const
    {
        std::string log = m_logDir.Read("debug/errors.txt");
        int n = 0;
        for (size_t p = log.find(text); p != std::string::npos; p = log.find(text, p + 1))
            ++n;
        return n;
    }

    // A plain texture file of the given size in the files folder.
    std::string WriteTexture(const std::string& relPath, int w, int h, uint8_t alpha = 255)
    {
        std::vector<uint8_t> bgra(static_cast<size_t>(w) * h * 4, alpha);
        return m_files.Write(relPath, WriteDdsBGRA(w, h, bgra.data()));
    }
    std::string FilesPath(const std::string& rel = "") const { return rel.empty() ? m_files.Path() : m_files.File(rel); }

    TempDir m_logDir;
    TempDir m_files;
    HeadlessGraphicsDevice* m_device = nullptr;
};
