#include "Video/ogv/OgvThread.h"

#include <chrono>

OgvThread::~OgvThread() {
    if (thread_.joinable()) Join();
}

void OgvThread::Start() {
    running = true;
    thread_ = std::thread([this] { Execute(); });
}

void OgvThread::Join() {
    {
        std::lock_guard<std::mutex> lock(wake_mutex_);
        running = false;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void OgvThread::Wait(int ms) {
    std::unique_lock<std::mutex> lock(wake_mutex_);
    wake_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return !running.load(); });
}
