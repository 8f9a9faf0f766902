#include "exportpipeline.h"

#include <QThread>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace vx {

namespace {

std::atomic<int> g_threads{0};

} // namespace

void setExportThreadCount(int threads) { g_threads = std::max(threads, 0); }

int exportThreadCount()
{
    const int set = g_threads;
    return set > 0 ? set : std::clamp(QThread::idealThreadCount(), 1, 4);
}

void writePiecesInOrder(ExportFile &file, int count, const std::function<void(int, TextBuffer &)> &make,
                        const std::function<int(int)> &points)
{
    const int threads = std::min(exportThreadCount(), count);
    if (threads <= 1) {
        TextBuffer text;
        for (int i = 0; i < count; ++i) {
            text.clear();
            make(i, text);
            file.write(text);
            if (!file.step(points(i)))
                return;
        }
        return;
    }

    // A ring of buffers: piece i is made into slot i % window once piece
    // i - window has been written, so at most `window` pieces wait in memory.
    const int window = 2 * threads;
    std::vector<TextBuffer> ring(static_cast<size_t>(window));
    std::vector<int> readyPiece(static_cast<size_t>(window), -1);
    std::mutex mutex;
    std::condition_variable changed;
    int next = 0, written = 0;
    bool stop = false;

    auto maker = [&] {
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            changed.wait(lock, [&] { return stop || next >= count || next < written + window; });
            if (stop || next >= count)
                return;
            const int i = next++;
            lock.unlock();
            TextBuffer &text = ring[static_cast<size_t>(i % window)];
            text.clear();
            make(i, text);
            lock.lock();
            readyPiece[static_cast<size_t>(i % window)] = i;
            changed.notify_all();
        }
    };
    std::vector<std::thread> pool;
    for (int t = 0; t < threads; ++t)
        pool.emplace_back(maker);

    {
        std::unique_lock<std::mutex> lock(mutex);
        for (int i = 0; i < count && !stop; ++i) {
            changed.wait(lock, [&] { return readyPiece[static_cast<size_t>(i % window)] == i; });
            lock.unlock();
            file.write(ring[static_cast<size_t>(i % window)]);
            const bool goOn = file.step(points(i));
            lock.lock();
            ++written;
            stop = !goOn;
            changed.notify_all();
        }
        stop = true;
        changed.notify_all();
    }
    for (std::thread &t : pool)
        t.join();
}

} // namespace vx
