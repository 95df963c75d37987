#include "Net/CNetThread.h"

#include <memory>

#include "Net/HttpRequest.h"

CNetThread::CNetThread(const std::string& endpoint, const std::string& objectPath, const std::string& body)
    : Threading::Thread(-1), endpoint_(endpoint), object_path_(objectPath), body_(body), succeeded_(false) {}

// The thread base starts only an object held by a std::shared_ptr; the owner's
// boost pointer holds that share and lets it go when the owner does.
boost::shared_ptr<CNetThread> CNetThread::Create(const std::string& endpoint, const std::string& objectPath,
                                                 const std::string& body) {
    std::shared_ptr<CNetThread> shared(new CNetThread(endpoint, objectPath, body));
    CNetThread* object = shared.get();
    return boost::shared_ptr<CNetThread>(object, [share = std::move(shared)](CNetThread*) mutable { share.reset(); });
}

// Reached once the run has returned or never began.
CNetThread::~CNetThread() = default;

void CNetThread::Run() { succeeded_ = HttpRequest(endpoint_, object_path_, body_, reply_, nullptr, nullptr); }

const std::string& CNetThread::GetUnusedText() const {
    static const std::string& empty = *new std::string();
    return empty;
}
