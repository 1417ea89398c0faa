#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace orvenda {

// One frame of a running program: where to continue once a called program, a subroutine
// or a wait has ended.
class RunObject {
public:
    using Ops = std::vector<std::uint32_t>;

    // Why the frame was pushed.
    enum BreakType : int {
        BreakInput = 0,
        BreakDrawing = 1,
        BreakPause = 2,
        BreakPrompt = 3,
        BreakProgramCall = 4,
        BreakMenu = 5,
        BreakSubroutine = 6,
    };

    RunObject() = default;
    RunObject(std::shared_ptr<Ops> ops, std::string name, int ip, int breakType)
        : ops_(std::move(ops)), name_(std::move(name)), ip_(ip), breakType_(breakType)
    {
    }
    static RunObject ops(std::shared_ptr<Ops> ops, std::string name, int ip, int type)
    {
        return RunObject(std::move(ops), std::move(name), ip, type);
    }

    const std::shared_ptr<Ops>& _ops() const { return ops_; }
    void set_ops(std::shared_ptr<Ops> ops) { ops_ = std::move(ops); }
    const std::string& _name() const { return name_; }
    void set_name(std::string name) { name_ = std::move(name); }
    int _ip() const { return ip_; }
    void set_ip(int ip) { ip_ = ip; }
    int _breakType() const { return breakType_; }
    void set_breakType(int type) { breakType_ = type; }

private:
    std::shared_ptr<Ops> ops_;
    std::string name_;
    int ip_ = 0;
    int breakType_ = 0;
};

} // namespace orvenda
