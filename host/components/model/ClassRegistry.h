#pragma once

#include "host/components/model/Component.h"
#include "host/components/model/Exception.h"

#include <initializer_list>
#include <string>
#include <vector>

namespace vorn {

// A class looked up by a name that no registered class has.
class EClassNotFound : public Exception {
public:
    using Exception::Exception;
};

// A registration that conflicts with one already made (a class name taken by another
// class, a class registered by another module) or that names something unusable.
class EClassRegistrationError : public Exception {
public:
    using Exception::Exception;
};

// The process has one class registry and one component palette. Every registration
// belongs to the module that was registering when it was made (see
// TRegistrationModuleScope), so that unloading a package removes exactly what it added.
// Class names are compared with ASCII letter case ignored.

// Registers Class under its name for the current module. Registering the same class again
// from the same module does nothing; raises EClassRegistrationError when another class has
// the name or another module registered the class.
void RegisterClass(const TClass& Class);
// Removes Class and its palette entries; a class that is not registered is ignored.
void UnregisterClass(const TClass& Class);

// The registered class named Name; raises EClassNotFound "Class Name not found".
const TClass& FindClass(const std::string& Name);
// The registered class named Name, or nullptr.
const TClass* GetClass(const std::string& Name);
// Every registered class, in registration order.
std::vector<const TClass*> RegisteredClasses();
// The module that registered Class; the empty name for the application or none.
std::string RegisteringModule(const TClass& Class);

// Registers the classes (as RegisterClass does) and puts them on the palette page Page,
// which is created after the existing pages when it is new. Raises, registering nothing,
// for an empty page name, a null class or a class that cannot be created by name.
void RegisterComponents(const std::string& Page, std::initializer_list<const TClass*> Classes);
void RegisterComponents(const std::string& Page, const std::vector<const TClass*>& Classes);

// The palette pages in the order in which they were first registered.
std::vector<std::string> PalettePages();
// The classes on the palette page Page in registration order; none for an unknown page.
std::vector<const TClass*> PaletteClasses(const std::string& Page);

// Removes every class and palette entry that Module registered, and every palette page
// left empty by that.
void UnregisterModule(const std::string& Module);

// The module that registrations are currently made for: the innermost open
// TRegistrationModuleScope, or the empty name (the application itself) when none is open.
std::string CurrentRegistrationModule();

// Makes registrations belong to Module while it lives (a package loader opens one around
// the package's Register procedures). Scopes nest; the previous module is restored at the end.
class TRegistrationModuleScope {
public:
    explicit TRegistrationModuleScope(std::string Module);
    ~TRegistrationModuleScope();
    TRegistrationModuleScope(const TRegistrationModuleScope&) = delete;
    TRegistrationModuleScope& operator=(const TRegistrationModuleScope&) = delete;

private:
    std::string FPrevious;
};

// The module that the host framework's own classes are registered for.
inline constexpr const char* HostClassesModule = "VornHostComponents";

// Registers, for Module, those of Classes whose names no module has registered yet, and
// returns them, so that the caller can later unregister exactly what it added. A class
// registered before (by the application or another module) is left as it is.
std::vector<const TClass*> RegisterMissingClasses(const std::string& Module,
                                                  const std::vector<const TClass*>& Classes);

// The host framework's creatable classes that form files may name: TForm, TEdit,
// TComboBox, TStringGrid, TDrawGrid, TSpeedButton.
std::vector<const TClass*> HostClasses();

// Registers the host classes (HostClasses) for HostClassesModule so that form files can
// name them. The runtime package's Initialize does this; calling it again does nothing.
void RegisterHostClasses();

} // namespace vorn
