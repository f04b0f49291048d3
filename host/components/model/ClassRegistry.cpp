#include "host/components/model/ClassRegistry.h"

#include "host/components/text/AsciiText.h"

#include <algorithm>
#include <cctype>
#include <mutex>
#include <utility>

namespace vorn {

namespace {

struct TClassRegistration {
    const TClass* Class;
    std::string Module;
};

struct TPaletteEntry {
    std::string Page;
    const TClass* Class;
    std::string Module;
};

// All registrations of the process. The designer registers from its user-interface
// thread, but applications may look classes up from anywhere, so access is serialized.
struct TRegistry {
    std::mutex Lock;
    std::string CurrentModule;
    std::vector<TClassRegistration> Classes;
    std::vector<std::string> Pages;
    std::vector<TPaletteEntry> Palette;
};

TRegistry& Registry() {
    static TRegistry Instance;
    return Instance;
}

std::string ModuleDescription(const std::string& Module) {
    return Module.empty() ? std::string("the application") : "module " + Module;
}

const TClassRegistration* FindRegistration(const TRegistry& R, const std::string& Name) {
    for (const TClassRegistration& Registration : R.Classes)
        if (SameTextAscii(Registration.Class->Name(), Name))
            return &Registration;
    return nullptr;
}

// Raises when Class may not be registered for Module; returns whether it already is.
bool CheckRegistration(const TRegistry& R, const TClass* Class, const std::string& Module) {
    if (Class == nullptr)
        throw EClassRegistrationError("RegisterClass() Class is nil");
    const TClassRegistration* Existing = FindRegistration(R, Class->Name());
    if (Existing == nullptr)
        return false;
    if (Existing->Class != Class)
        throw EClassRegistrationError("RegisterClass() Another class named " + Class->Name() +
                                      " is already registered by " +
                                      ModuleDescription(Existing->Module));
    if (Existing->Module != Module)
        throw EClassRegistrationError("RegisterClass() Class " + Class->Name() +
                                      " is already registered by " +
                                      ModuleDescription(Existing->Module));
    return true;
}

void AddClass(TRegistry& R, const TClass* Class) {
    if (!CheckRegistration(R, Class, R.CurrentModule))
        R.Classes.push_back({Class, R.CurrentModule});
}

void AddToPalette(TRegistry& R, const std::string& Page, const TClass* Class) {
    const bool Listed = std::any_of(R.Palette.begin(), R.Palette.end(), [&](const auto& Entry) {
        return Entry.Page == Page && Entry.Class == Class;
    });
    if (Listed)
        return;
    if (std::find(R.Pages.begin(), R.Pages.end(), Page) == R.Pages.end())
        R.Pages.push_back(Page);
    R.Palette.push_back({Page, Class, R.CurrentModule});
}

void DropEmptyPages(TRegistry& R) {
    std::erase_if(R.Pages, [&](const std::string& Page) {
        return std::none_of(R.Palette.begin(), R.Palette.end(),
                            [&](const auto& Entry) { return Entry.Page == Page; });
    });
}

} // namespace

void RegisterClass(const TClass& Class) {
    TRegistry& R = Registry();
    std::lock_guard Guard(R.Lock);
    AddClass(R, &Class);
}

std::vector<const TClass*> RegisterMissingClasses(const std::string& Module,
                                                  const std::vector<const TClass*>& Classes) {
    TRegistrationModuleScope Scope(Module);
    TRegistry& R = Registry();
    std::lock_guard Guard(R.Lock);
    std::vector<const TClass*> Added;
    for (const TClass* Class : Classes) {
        if (Class == nullptr)
            throw EClassRegistrationError("RegisterClass() Class is nil");
        if (FindRegistration(R, Class->Name()) != nullptr)
            continue;
        AddClass(R, Class);
        Added.push_back(Class);
    }
    return Added;
}

void UnregisterClass(const TClass& Class) {
    TRegistry& R = Registry();
    std::lock_guard Guard(R.Lock);
    std::erase_if(R.Classes,
                  [&](const auto& Registration) { return Registration.Class == &Class; });
    std::erase_if(R.Palette, [&](const auto& Entry) { return Entry.Class == &Class; });
    DropEmptyPages(R);
}

const TClass& FindClass(const std::string& Name) {
    const TClass* Class = GetClass(Name);
    if (Class == nullptr)
        throw EClassNotFound("Class " + Name + " not found");
    return *Class;
}

const TClass* GetClass(const std::string& Name) {
    TRegistry& R = Registry();
    std::lock_guard Guard(R.Lock);
    const TClassRegistration* Registration = FindRegistration(R, Name);
    return Registration != nullptr ? Registration->Class : nullptr;
}

std::vector<const TClass*> RegisteredClasses() {
    TRegistry& R = Registry();
    std::lock_guard Guard(R.Lock);
    std::vector<const TClass*> Result;
    for (const TClassRegistration& Registration : R.Classes)
        Result.push_back(Registration.Class);
    return Result;
}

void RegisterComponents(const std::string& Page, std::initializer_list<const TClass*> Classes) {
    RegisterComponents(Page, std::vector<const TClass*>(Classes));
}

void RegisterComponents(const std::string& Page, const std::vector<const TClass*>& Classes) {
    TRegistry& R = Registry();
    std::lock_guard Guard(R.Lock);
    if (Page.empty())
        throw EClassRegistrationError("RegisterComponents() The palette page name is empty");
    // Check the whole list first, so that a bad entry leaves no partial registration.
    for (const TClass* Class : Classes) {
        CheckRegistration(R, Class, R.CurrentModule);
        if (!Class->CanCreate())
            throw EClassRegistrationError("RegisterComponents() Class " + Class->Name() +
                                          " cannot be created and cannot be put on a palette");
    }
    for (const TClass* Class : Classes) {
        AddClass(R, Class);
        AddToPalette(R, Page, Class);
    }
}

std::vector<std::string> PalettePages() {
    TRegistry& R = Registry();
    std::lock_guard Guard(R.Lock);
    return R.Pages;
}

std::vector<const TClass*> PaletteClasses(const std::string& Page) {
    TRegistry& R = Registry();
    std::lock_guard Guard(R.Lock);
    std::vector<const TClass*> Result;
    for (const TPaletteEntry& Entry : R.Palette)
        if (Entry.Page == Page)
            Result.push_back(Entry.Class);
    return Result;
}

std::string RegisteringModule(const TClass& Class) {
    TRegistry& R = Registry();
    std::lock_guard Guard(R.Lock);
    for (const TClassRegistration& Registration : R.Classes)
        if (Registration.Class == &Class)
            return Registration.Module;
    return std::string();
}

void UnregisterModule(const std::string& Module) {
    TRegistry& R = Registry();
    std::lock_guard Guard(R.Lock);
    std::erase_if(R.Palette, [&](const auto& Entry) { return Entry.Module == Module; });
    std::erase_if(R.Classes,
                  [&](const auto& Registration) { return Registration.Module == Module; });
    DropEmptyPages(R);
}

std::string CurrentRegistrationModule() {
    TRegistry& R = Registry();
    std::lock_guard Guard(R.Lock);
    return R.CurrentModule;
}

TRegistrationModuleScope::TRegistrationModuleScope(std::string Module) {
    TRegistry& R = Registry();
    std::lock_guard Guard(R.Lock);
    FPrevious = std::exchange(R.CurrentModule, std::move(Module));
}

TRegistrationModuleScope::~TRegistrationModuleScope() {
    TRegistry& R = Registry();
    std::lock_guard Guard(R.Lock);
    R.CurrentModule = std::move(FPrevious);
}

} // namespace vorn
