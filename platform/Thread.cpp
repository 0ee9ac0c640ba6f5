#include "platform/Thread.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace plat {

void SetThreadPriority(ThreadPriority priority)
{
    int nice = priority == ThreadPriority::Normal ? 0 : priority == ThreadPriority::AboveNormal ? -5 : -10;
    auto tid = static_cast<id_t>(syscall(SYS_gettid));
    (void)setpriority(PRIO_PROCESS, tid, nice);
}

} // namespace plat
