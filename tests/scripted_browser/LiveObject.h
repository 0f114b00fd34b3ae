#pragma once
// A member of every COM object of the double: the process-wide count of those alive lets a
// test see a reference that was never released.

namespace scripted {

class LiveObject {
public:
    LiveObject();
    ~LiveObject();
    LiveObject(const LiveObject&) = delete;
    LiveObject& operator=(const LiveObject&) = delete;

    static long Count();
};

}  // namespace scripted
