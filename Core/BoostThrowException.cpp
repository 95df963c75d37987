// Boost is built without exceptions here and declares throw_exception
// noreturn, so an error it raises (an empty shared_ptr dereferenced through
// its checked paths, a bad weak_ptr lock) cannot return: report and abort.
#include <boost/throw_exception.hpp>

#include <cstdio>
#include <cstdlib>

namespace boost {

void throw_exception(std::exception const&) {
    std::fputs("boost::throw_exception - sth wrong with shared_ptr's ?\n", stderr);
    std::abort();
}

void throw_exception(std::exception const& e, boost::source_location const&) { throw_exception(e); }

}  // namespace boost
