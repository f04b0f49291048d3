#pragma once

#include "host/components/controls/Form.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vorn::testsupport {

// A form whose handlers log what fires as "Component.event". The handler whose entry is
// FreeOn then frees a component after logging: the one that fired it (Victim empty), the
// form (Victim "Form"), or the form's component named Victim. Tests derive from it and
// add their controls, owned by Form.
//
// Header-only, so that the component tests need not link the data layer that the rest
// of the support library brings.
struct TFreeingHandlerForm {
    std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
    std::vector<std::string> Log;
    std::string FreeOn;
    std::string Victim;

    TFreeingHandlerForm() = default;
    TFreeingHandlerForm(const TFreeingHandlerForm&) = delete;
    TFreeingHandlerForm& operator=(const TFreeingHandlerForm&) = delete;

    void Fired(TObject* Sender, const char* Event) {
        auto* Component = static_cast<TComponent*>(Sender);
        const std::string Entry = Component->Name() + "." + Event;
        Log.push_back(Entry);
        if (Entry != FreeOn)
            return;
        if (Victim == "Form")
            Form.reset();
        else if (Victim.empty())
            delete Component;
        else
            delete Form->FindComponent(Victim);
    }

    TNotifyEvent Logger(const char* Event) {
        return [this, Event](TObject* Sender) { Fired(Sender, Event); };
    }

    // Starts a case: an empty log, and the handler that frees and what it frees.
    void Arm(const char* AFreeOn, const char* AVictim) {
        Log.clear();
        FreeOn = AFreeOn;
        Victim = AVictim;
    }
};

// One case of a table of freeing handlers on a TFreeingHandlerForm descendant: Setup
// prepares the form, Act is the user's act (returning whether its control is still
// there), and the handler FreeOn frees Victim; ExpectedLog is every handler that ran.
template <class TFixture>
struct TFreeingCase {
    const char* Name;
    std::function<void(TFixture&)> Setup;
    std::function<bool(TFixture&)> Act;
    const char* FreeOn;
    const char* Victim;
    std::vector<std::string> ExpectedLog;
};

} // namespace vorn::testsupport
