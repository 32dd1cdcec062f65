#include "online/OnlineJob.h"

#include "engine/GHttpClient.h"
#include "online/SIM_Server.h"

#include <mutex>
#include <thread>
#include <vector>

namespace {
struct Workers {
    std::mutex mutex;
    std::vector<std::pair<std::thread, std::shared_ptr<OnlineJob>>> threads;

    ~Workers() { Join(); }
    void Join()
    {
        std::vector<std::pair<std::thread, std::shared_ptr<OnlineJob>>> all;
        {
            std::lock_guard<std::mutex> lock(mutex);
            all.swap(threads);
        }
        for (auto& t : all)
            if (t.first.joinable())
                t.first.join();
    }
    // Joins the finished ones so that the list stays short.
    void Prune()
    {
        std::lock_guard<std::mutex> lock(mutex);
        for (size_t i = 0; i < threads.size();) {
            if (threads[i].second->IsDone()) {
                threads[i].first.join();
                threads.erase(threads.begin() + static_cast<long>(i));
            } else {
                ++i;
            }
        }
    }
};

Workers& GetWorkers()
{
    static Workers workers;
    return workers;
}
} // namespace

std::shared_ptr<OnlineJob> OnlineJob::Start(Work work)
{
    auto job = std::make_shared<OnlineJob>();
    SIM_Server& main = SIM_Server::GetInstance();
    const std::string url = GetInternet().GetServerUrl();
    if (!GetInternet().IsOnline()) {
        job->m_offline = true;
        job->m_state = FAILED;
        return job;
    }
    const std::string folder = main.GetUserFolder(), name = main.GetUserName(), id = main.GetUserId();
    Workers& workers = GetWorkers();
    workers.Prune();
    // The thread holds its own share: its result has somewhere to go.
    std::shared_ptr<OnlineJob> mine = job;
    std::thread thread([mine, work, url, folder, name, id]() {
        GHttpClient client;
        client.SetServerUrl(url);
        client.SetCancelFlag(&mine->m_cancel);
        SIM_Server server(&client);
        server.SetUserFolder(folder);
        server.SetIdentity(name, id);
        std::string text;
        const int unanswered = GHttpClient::UnansweredOnThisThread();
        const bool ok = work(server, text) && !mine->m_cancel;
        mine->m_unanswered = GHttpClient::UnansweredOnThisThread() != unanswered;
        mine->m_text = std::move(text);
        mine->m_state = ok ? SUCCEEDED : FAILED;
    });
    std::lock_guard<std::mutex> lock(workers.mutex);
    workers.threads.emplace_back(std::move(thread), job);
    return job;
}

void OnlineJob::JoinAll()
{
    GetWorkers().Join();
}

std::string OnlineJob::TakeText()
{
    if (!IsDone())
        return std::string();
    return std::move(m_text);
}

bool OnlineJob::Collect(std::shared_ptr<OnlineJob>& job, bool& succeeded, std::string& text)
{
    if (!job || !job->IsDone())
        return false;
    succeeded = job->Succeeded();
    text = job->TakeText();
    job.reset();
    return true;
}
