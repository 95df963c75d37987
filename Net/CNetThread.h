#pragma once
// One request on a thread of its own, started detached and never joined. The
// owner polls IsRunning once per frame and, once it is false, reads
// Succeeded and GetReply.
//
// The object is owned jointly by its owner and its running thread (the thread
// base's rule): releasing the owner's last pointer while the request runs
// returns at once, and the late finish writes only into the object the run
// still holds, which goes when the run returns. Nobody sees it.
#include <boost/shared_ptr.hpp>

#include <string>

#include "Threading/Thread.h"

class CNetThread : public Threading::Thread {
public:
    // A request thread not yet started: succeeded false, reply empty.
    static boost::shared_ptr<CNetThread> Create(const std::string& endpoint, const std::string& objectPath,
                                                const std::string& body);
    ~CNetThread() override;

    void Run() override;

    bool Succeeded() const { return succeeded_; }
    const std::string& GetReply() const { return reply_; }
    // The request's spare text: always empty.
    const std::string& GetUnusedText() const;

private:
    CNetThread(const std::string& endpoint, const std::string& objectPath, const std::string& body);

    std::string endpoint_;
    std::string object_path_;
    std::string body_;
    bool succeeded_;
    std::string reply_;
};
