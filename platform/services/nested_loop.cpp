#include "nested_loop.h"

namespace tavilon {

namespace {

int runningLoops = 0;

NestedLoopNotifier& theNotifier()
{
    static NestedLoopNotifier notifier;
    return notifier;
}

} // namespace

NestedLoop::NestedLoop()
{
    ++runningLoops;
}

NestedLoop::~NestedLoop()
{
    if (--runningLoops == 0)
        emit theNotifier().allEnded();
}

int NestedLoop::depth()
{
    return runningLoops;
}

NestedLoopNotifier& NestedLoop::notifier()
{
    return theNotifier();
}

} // namespace tavilon
