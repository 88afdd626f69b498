#pragma once

#include "client/composition.h"
#include "client/tchat.h"

#include <memory>

// One copy of the program as main puts it together, held by a test that
// builds it late or drops it early; it reads like a pointer to the copy's
// main window.
class ProgramWindow
{
public:
    ProgramWindow &operator=(std::unique_ptr<Composition> program)
    {
        program_ = std::move(program);
        return *this;
    }

    Tchat *get() const { return program_ ? &program_->window() : nullptr; }
    Tchat *operator->() const { return get(); }
    Tchat &operator*() const { return *get(); }
    explicit operator bool() const { return bool(program_); }
    Composition &parts() const { return *program_; }
    void reset() { program_.reset(); }

private:
    std::unique_ptr<Composition> program_;
};
