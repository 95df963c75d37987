#include "platform/win32/Overlapped.h"

#include "platform/win32/OverlappedTesting.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr uintptr_t kStatusPending = 0x103;
constexpr unsigned kWorkerCount = 2;

int64_t RealPread(int fd, void* buffer, uint32_t count, uint64_t offset) {
    const ssize_t n = ::pread(fd, buffer, count, static_cast<off_t>(offset));
    return n < 0 ? -static_cast<int64_t>(errno) : static_cast<int64_t>(n);
}

std::atomic<OverlappedReadFunction> g_readFunction{&RealPread};

// One open file. Its mutex guards the status words of the OVERLAPPEDs of its reads.
struct FileObject : KernelObject {
    int fd = -1;
    std::mutex mutex;
    std::condition_variable finished;
    int inFlight = 0;

    ~FileObject() override {
        // Closing never pulls the descriptor from under a running read.
        std::unique_lock<std::mutex> lock(mutex);
        finished.wait(lock, [this] { return inFlight == 0; });
        ::close(fd);
    }
};

struct ReadJob {
    FileObject* file;
    OVERLAPPED* overlapped;
    uint8_t* buffer;
    uint32_t count;
    uint64_t offset;
};

void RunRead(const ReadJob& job) {
    const OverlappedReadFunction read = g_readFunction.load();
    uint32_t done = 0;
    uintptr_t status = ERROR_SUCCESS;
    while (done < job.count) {
        const int64_t n = read(job.file->fd, job.buffer + done, job.count - done, job.offset + done);
        if (n == -EINTR) continue;
        if (n < 0) {
            status = ERROR_READ_FAULT;
            break;
        }
        if (n == 0) break;  // end of the file: a short read
        done += static_cast<uint32_t>(n);
    }
    std::lock_guard<std::mutex> lock(job.file->mutex);
    job.overlapped->InternalHigh = done;
    job.overlapped->Internal = status;
    --job.file->inFlight;
    job.file->finished.notify_all();
}

// The threads that run the reads. Never destroyed, so no read can outlive it at exit.
class ReadWorkers {
public:
    void Submit(const ReadJob& job) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (threads_.empty()) {
            for (unsigned i = 0; i < kWorkerCount; ++i) threads_.emplace_back([this] { Run(); });
        }
        queue_.push_back(job);
        wake_.notify_one();
    }

private:
    void Run() {
        for (;;) {
            ReadJob job;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                wake_.wait(lock, [this] { return !queue_.empty(); });
                job = queue_.front();
                queue_.pop_front();
            }
            RunRead(job);
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<ReadJob> queue_;
    std::vector<std::thread> threads_;
};

ReadWorkers& Workers() {
    static ReadWorkers* workers = new ReadWorkers;
    return *workers;
}

FileObject* FileOf(HANDLE handle) { return dynamic_cast<FileObject*>(HandleObject(handle)); }

DWORD ErrorOfErrno(int error) {
    switch (error) {
        case ENOENT: return ERROR_FILE_NOT_FOUND;
        case ENOTDIR:
        case ENAMETOOLONG: return ERROR_PATH_NOT_FOUND;
        case EACCES:
        case EPERM:
        case EISDIR: return ERROR_ACCESS_DENIED;
        default: return ERROR_INVALID_PARAMETER;
    }
}

// Finds the entry of folder that equals name without regard to case (the first in sorted
// order, so the choice does not depend on the directory's order).
bool FindNoCase(const std::string& folder, const std::string& name, std::string& found) {
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return false;
    std::vector<std::string> matches;
    while (const dirent* entry = ::readdir(dir)) {
        if (::strcasecmp(entry->d_name, name.c_str()) == 0) matches.emplace_back(entry->d_name);
    }
    ::closedir(dir);
    if (matches.empty()) return false;
    found = *std::min_element(matches.begin(), matches.end());
    return true;
}

// Rebuilds path component by component, each matched without regard to case.
bool ResolveNoCase(const std::string& path, std::string& resolved) {
    std::string result = !path.empty() && path[0] == '/' ? "/" : "";
    size_t pos = result.size();
    while (pos <= path.size()) {
        size_t end = path.find('/', pos);
        if (end == std::string::npos) end = path.size();
        const std::string part = path.substr(pos, end - pos);
        pos = end + 1;
        if (part.empty() || part == "." || part == "..") {
            if (!part.empty()) result += part + "/";
            continue;
        }
        std::string match;
        const std::string folder = result.empty() ? std::string() : result;
        if (!FindNoCase(folder, part, match)) return false;
        result += match;
        if (end < path.size()) result += "/";
    }
    resolved = result;
    return true;
}

int OpenForReading(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT) {
        std::string resolved;
        if (ResolveNoCase(path, resolved)) fd = ::open(resolved.c_str(), O_RDONLY | O_CLOEXEC);
        else errno = ENOENT;
    }
    return fd;
}

}  // namespace

void SetOverlappedReadFunction(OverlappedReadFunction function) {
    g_readFunction.store(function ? function : &RealPread);
}

HANDLE CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD /*shareMode*/, LPSECURITY_ATTRIBUTES /*security*/,
                   DWORD creationDisposition, DWORD /*flagsAndAttributes*/, HANDLE /*templateFile*/) {
    if (!fileName || !*fileName || desiredAccess != GENERIC_READ || creationDisposition != OPEN_EXISTING) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    std::string path(fileName);
    std::replace(path.begin(), path.end(), '\\', '/');
    const int fd = OpenForReading(path);
    if (fd < 0) {
        SetLastError(ErrorOfErrno(errno));
        return INVALID_HANDLE_VALUE;
    }
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    auto* file = new FileObject;
    file->fd = fd;
    SetLastError(ERROR_SUCCESS);
    return MakeHandle(file);
}

DWORD GetFileSize(HANDLE handle, LPDWORD fileSizeHigh) {
    FileObject* file = FileOf(handle);
    struct stat info;
    if (!file || ::fstat(file->fd, &info) != 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return INVALID_FILE_SIZE;
    }
    const uint64_t size = static_cast<uint64_t>(info.st_size);
    if (fileSizeHigh) *fileSizeHigh = static_cast<DWORD>(size >> 32);
    return static_cast<DWORD>(size);
}

BOOL ReadFile(HANDLE handle, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead, LPOVERLAPPED overlapped) {
    FileObject* file = FileOf(handle);
    if (!file) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!overlapped || (!buffer && bytesToRead != 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (bytesRead) *bytesRead = 0;
    {
        std::lock_guard<std::mutex> lock(file->mutex);
        overlapped->Internal = kStatusPending;
        overlapped->InternalHigh = 0;
        ++file->inFlight;
    }
    const uint64_t offset = (static_cast<uint64_t>(overlapped->OffsetHigh) << 32) | overlapped->Offset;
    Workers().Submit({file, overlapped, static_cast<uint8_t*>(buffer), bytesToRead, offset});
    SetLastError(ERROR_IO_PENDING);
    return FALSE;
}

BOOL GetOverlappedResult(HANDLE handle, LPOVERLAPPED overlapped, LPDWORD bytesTransferred, BOOL wait) {
    FileObject* file = FileOf(handle);
    if (!file || !overlapped) {
        SetLastError(file ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::unique_lock<std::mutex> lock(file->mutex);
    if (wait) file->finished.wait(lock, [overlapped] { return overlapped->Internal != kStatusPending; });
    if (overlapped->Internal == kStatusPending) {
        SetLastError(ERROR_IO_INCOMPLETE);
        return FALSE;
    }
    if (bytesTransferred) *bytesTransferred = static_cast<DWORD>(overlapped->InternalHigh);
    if (overlapped->Internal != ERROR_SUCCESS) {
        SetLastError(static_cast<DWORD>(overlapped->Internal));
        return FALSE;
    }
    return TRUE;
}
