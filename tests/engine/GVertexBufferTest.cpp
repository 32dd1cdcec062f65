#include "EngineTestFixture.h"

#include "engine/BaseSprite.h"
#include "engine/GVertexBuffer.h"

class GVertexBufferTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        WriteTexture("a.dds", 4, 4);
        WriteTexture("b.dds", 4, 4);
        Engine().LoadTextureFolder(FilesPath());
        Device().ResetStats();
        Device().ClearDraws();
    }
    void AddQuads(GVertexBuffer& vb, int n)
    {
        BaseSprite s;
        for (int i = 0; i < n; ++i)
            vb.AddVertices(s.m_vertices, 4);
    }
};

TEST_F(GVertexBufferTest, OneVertexPastFullFlushesOnceInBetween)
{
    GVertexBuffer vb;
    vb.Init(GVertexBuffer::kSpriteBatchVertices, true);
    AddQuads(vb, 1250);
    EXPECT_EQ(Device().GetStats().drawCalls, 0);
    EXPECT_EQ(vb.GetStagedCount(), 5000u);
    BaseSprite s;
    vb.AddVertices(s.m_vertices, 1);
    EXPECT_EQ(Device().GetStats().drawCalls, 1);
    EXPECT_EQ(Device().GetStats().verticesDrawn, 5000);
    EXPECT_EQ(vb.GetStagedCount(), 1u);
}

TEST_F(GVertexBufferTest, BatchBiggerThanTheBufferGoesInSlices)
{
    GVertexBuffer vb;
    vb.Init(400, true);
    std::vector<ScreenVertex> many(1000, BaseSprite().m_vertices[0]);
    vb.AddVertices(many.data(), many.size());
    vb.Flush();
    EXPECT_EQ(Device().GetStats().drawCalls, 3);
    EXPECT_EQ(Device().GetStats().verticesDrawn, 1000);
}

TEST_F(GVertexBufferTest, OneDrawPerTextureRun)
{
    GVertexBuffer vb;
    vb.Init(400, true);
    vb.SetTexture("a.dds");
    AddQuads(vb, 1);
    vb.SetTexture("a.dds");
    AddQuads(vb, 1);
    vb.Flush();
    EXPECT_EQ(Device().GetStats().drawCalls, 1);
    ASSERT_EQ(Device().GetDraws().size(), 1u);
    EXPECT_EQ(Device().GetDraws()[0].vertexCount, 8u);
    EXPECT_EQ(Device().GetDraws()[0].texture, Engine().FindTexture("a.dds"));

    Device().ResetStats();
    Device().ClearDraws();
    const char* names[] = {"a.dds", "b.dds", "a.dds", "b.dds"};
    for (const char* n : names) {
        vb.SetTexture(n);
        AddQuads(vb, 1);
    }
    vb.Flush();
    ASSERT_EQ(Device().GetStats().drawCalls, 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Device().GetDraws()[i].texture, Engine().FindTexture(names[i]));
}

TEST_F(GVertexBufferTest, EmptyFlushForgetsTheTexture)
{
    GVertexBuffer vb;
    vb.Init(400, true);
    vb.SetTexture("a.dds");
    vb.Flush();
    EXPECT_EQ(Device().GetStats().drawCalls, 0);
    EXPECT_EQ(vb.GetTextureName(), "");
}

TEST_F(GVertexBufferTest, SpriteBatcherIsRegisteredAndSurvivesRestore)
{
    GVertexBuffer& batch = GVertexBuffer::SpriteBatch();
    EXPECT_EQ(batch.GetCapacity(), 5000u);
    AddQuads(batch, 2);
    ASSERT_TRUE(Engine().Restore());
    EXPECT_EQ(batch.GetStagedCount(), 0u);
    EXPECT_FALSE(batch.IsCreated());
    batch.SetTexture("b.dds");
    AddQuads(batch, 2);
    batch.Flush();
    ASSERT_EQ(Device().GetDraws().size(), 1u);
    EXPECT_EQ(Device().GetDraws()[0].texture, Engine().FindTexture("b.dds"));
    batch.Flush();
}
