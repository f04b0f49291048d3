#include "host/components/controls/Button.h"
#include "host/components/controls/ComboBox.h"
#include "host/components/controls/Edit.h"
#include "host/components/controls/Form.h"
#include "host/components/controls/Grid.h"
#include "host/components/controls/Label.h"
#include "host/components/controls/Panel.h"
#include "host/components/model/ClassRegistry.h"

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
