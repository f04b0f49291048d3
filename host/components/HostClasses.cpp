#include "host/components/Button.h"
#include "host/components/ClassRegistry.h"
#include "host/components/ComboBox.h"
#include "host/components/Edit.h"
#include "host/components/Form.h"
#include "host/components/Grid.h"
#include "host/components/Label.h"
#include "host/components/Panel.h"

namespace vorn {

std::vector<const TClass*> HostClasses() {
    return {&TForm::StaticClass(),       &TEdit::StaticClass(),     &TComboBox::StaticClass(),
            &TStringGrid::StaticClass(), &TDrawGrid::StaticClass(), &TSpeedButton::StaticClass(),
            &TLabel::StaticClass(),      &TPanel::StaticClass()};
}

void RegisterHostClasses() {
    TRegistrationModuleScope Scope(HostClassesModule);
    for (const TClass* Class : HostClasses())
        RegisterClass(*Class);
}

} // namespace vorn
