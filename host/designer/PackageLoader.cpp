#include "host/designer/PackageLoader.h"

#include "host/components/graphics/Resources.h"
#include "host/components/model/ClassRegistry.h"
#include "host/components/model/ModuleUse.h"
#include "host/components/text/AsciiText.h"
#include "host/designer/PropertyEditorRegistry.h"

#include <dlfcn.h>
#include <link.h>

#include <algorithm>
#include <cctype>
#include <exception>
#include <utility>

namespace vorn {

namespace {

// Packages of the host framework itself: its libraries are linked into the designer.
constexpr const char* HostPackages[] = {"vcl40", "VCLDB40"};

bool IsHostPackage(const std::string& Name) {
    return std::any_of(std::begin(HostPackages), std::end(HostPackages),
                       [&](const char* Host) { return SameTextAscii(Host, Name); });
}

std::string LastLoaderError() {
    const char* Error = dlerror();
    return Error != nullptr ? Error : "unknown error";
}

// A module's handle also finds the symbols of the libraries it depends on; an entry point
// counts only when it is defined in the module itself.
void* OwnSymbol(void* Handle, const char* Name) {
    dlerror();
    void* Symbol = dlsym(Handle, Name);
    if (Symbol == nullptr)
        return nullptr;
    link_map* Map = nullptr;
    Dl_info Info{};
    if (dlinfo(Handle, RTLD_DI_LINKMAP, &Map) != 0 || dladdr(Symbol, &Info) == 0)
        return nullptr;
    return Info.dli_fbase == reinterpret_cast<void*>(Map->l_addr) ? Symbol : nullptr;
}

// Holds a module open until it is released into a package.
class TModuleHandle {
public:
    explicit TModuleHandle(void* Handle) : FHandle(Handle) {}
    ~TModuleHandle() {
        if (FHandle != nullptr)
            dlclose(FHandle);
    }
    TModuleHandle(const TModuleHandle&) = delete;
    TModuleHandle& operator=(const TModuleHandle&) = delete;
    void* Get() const { return FHandle; }
    void* Release() { return std::exchange(FHandle, nullptr); }

private:
    void* FHandle;
};

} // namespace

std::filesystem::path PackageFileName(const std::filesystem::path& Folder,
                                      const std::string& Name) {
    return Folder / ("lib" + Name + ".so");
}

TPackageLoader::TPackageLoader(std::string Language) : FLanguage(std::move(Language)) {}

TPackageLoader::~TPackageLoader() {
    try {
        UnloadAll();
    } catch (const std::exception&) {
        // A finalization that raised, every module still closed; or packages in use, all
        // kept loaded, so that what was made from them keeps its code.
    }
}

const TLoadedPackage& TPackageLoader::LoadPackage(const std::filesystem::path& FileName) {
    TLoadedPackage& Package = Load(FileName, false);
    Package.FImplicit = false;
    return Package;
}

TLoadedPackage& TPackageLoader::Load(const std::filesystem::path& FileName, bool Implicit) {
    const std::filesystem::path Path = std::filesystem::weakly_canonical(FileName);
    TModuleHandle Module(dlopen(Path.c_str(), RTLD_NOW | RTLD_LOCAL));
    if (Module.Get() == nullptr)
        throw EPackageError("Cannot load package " + Path.string() + ": " + LastLoaderError());
    for (const auto& Loaded : FPackages)
        if (Loaded->FHandle == Module.Get())
            return *Loaded;

    auto* GetInfo = reinterpret_cast<const TPackageInfoTable* (*)()>(
        OwnSymbol(Module.Get(), "GetPackageInfoTable"));
    auto* Initialize = reinterpret_cast<void (*)()>(OwnSymbol(Module.Get(), "Initialize"));
    auto* Finalize = reinterpret_cast<void (*)()>(OwnSymbol(Module.Get(), "Finalize"));
    if (GetInfo == nullptr || Initialize == nullptr || Finalize == nullptr)
        throw EPackageError(Path.string() +
                            " is not a package: it does not export Initialize, Finalize and "
                            "GetPackageInfoTable");
    const TPackageInfoTable* Info = GetInfo();
    if (Info == nullptr || Info->Name == nullptr || *Info->Name == '\0')
        throw EPackageError(Path.string() + " is not a package: its information table has no name");
    if (const TLoadedPackage* Other = FindPackage(Info->Name))
        throw EPackageError("Cannot load package " + Path.string() + ": a package named " +
                            Info->Name + " is already loaded from " + Other->FFileName.string());

    auto Package = std::make_unique<TLoadedPackage>();
    Package->FName = Info->Name;
    Package->FFileName = Path;
    Package->FInfo = Info;
    Package->FFinalize = Finalize;
    Package->FImplicit = Implicit;
    LoadRequiredPackages(*Package);
    try {
        LoadResourceModule(*Package);
        try {
            Initialize();
        } catch (const std::exception& Error) {
            throw EPackageError("Cannot initialize package " + Package->FName + ": " +
                                Error.what());
        }
        Package->FHandle = Module.Release();
        Start(*Package);
    } catch (...) {
        UnregisterModuleResources(Package->FName);
        if (Package->FResourceHandle != nullptr)
            dlclose(Package->FResourceHandle);
        if (Package->FHandle != nullptr)
            dlclose(Package->FHandle);
        DropUnneededImplicitPackages();
        throw;
    }
    FPackages.push_back(std::move(Package));
    return *FPackages.back();
}

void TPackageLoader::LoadRequiredPackages(const TLoadedPackage& Package) {
    const TPackageInfoTable& Info = *Package.FInfo;
    for (int Index = 0; Index < Info.RequiresCount; ++Index) {
        const std::string Required = Info.Requires[Index];
        if (IsHostPackage(Required) || FindPackage(Required) != nullptr)
            continue;
        try {
            Load(PackageFileName(Package.FFileName.parent_path(), Required), true);
        } catch (const Exception& Error) {
            throw EPackageError("Cannot load package " + Package.FName + ": required package " +
                                Required + " cannot be loaded: " + Error.Message());
        }
    }
}

void TPackageLoader::LoadResourceModule(TLoadedPackage& Package) {
    // Named after the package rather than its file, which may be a versioned library name.
    std::filesystem::path ResourcePath =
        PackageFileName(Package.FFileName.parent_path(), Package.FName);
    ResourcePath += "." + FLanguage;
    if (FLanguage.empty() || !std::filesystem::exists(ResourcePath))
        return;
    const std::string Failure = "Cannot load the resource module " + ResourcePath.string() + ": ";
    TModuleHandle Module(dlopen(ResourcePath.c_str(), RTLD_NOW | RTLD_LOCAL));
    if (Module.Get() == nullptr)
        throw EPackageError(Failure + LastLoaderError());
    auto* GetTable = reinterpret_cast<const TResourceModuleTable* (*)()>(
        OwnSymbol(Module.Get(), ResourceModuleEntryPoint));
    if (GetTable == nullptr)
        throw EPackageError(Failure + "it does not export " + ResourceModuleEntryPoint);
    const TResourceModuleTable* Table = GetTable();
    try {
        for (int Index = 0; Table != nullptr && Index < Table->Count; ++Index) {
            const TResourceModuleEntry& Entry = Table->Resources[Index];
            RegisterResource(Package.FName, Entry.Name, Entry.Type,
                             std::vector<std::uint8_t>(Entry.Bytes, Entry.Bytes + Entry.Size));
        }
    } catch (const Exception& Error) {
        UnregisterModuleResources(Package.FName);
        throw EPackageError(Failure + Error.Message());
    }
    Package.FResourceFileName = ResourcePath;
    Package.FResourceHandle = Module.Release();
}

void TPackageLoader::Start(TLoadedPackage& Package) {
    const TPackageInfoTable& Info = *Package.FInfo;
    try {
        TRegistrationModuleScope Scope(Package.FName);
        for (int Index = 0; Index < Info.UnitCount; ++Index)
            if (Info.Units[Index].Register != nullptr)
                Info.Units[Index].Register();
    } catch (const std::exception& Error) {
        UnregisterModule(Package.FName);
        UnregisterModulePropertyEditors(Package.FName);
        Package.FFinalize();
        throw EPackageError("Cannot register the components of package " + Package.FName + ": " +
                            Error.what());
    }
}

void TPackageLoader::UnloadPackage(const std::string& Name) {
    auto Found = std::find_if(FPackages.begin(), FPackages.end(),
                              [&](const auto& Package) { return Package->FName == Name; });
    if (Found == FPackages.end())
        throw EPackageError("UnloadPackage() Package " + Name + " is not loaded");
    for (const auto& Other : FPackages) {
        const TPackageInfoTable& Info = *Other->FInfo;
        for (int Index = 0; Index < Info.RequiresCount; ++Index)
            if (SameTextAscii(Info.Requires[Index], Name))
                throw EPackageError("UnloadPackage() Package " + Name + " is required by package " +
                                    Other->FName);
    }
    CheckNotInUse("UnloadPackage", **Found);
    std::unique_ptr<TLoadedPackage> Package = std::move(*Found);
    FPackages.erase(Found);
    Unload(*Package);
    DropUnneededImplicitPackages();
}

void TPackageLoader::CheckNotInUse(const char* Operation, const TLoadedPackage& Package) const {
    const int Uses = ModuleUseCount(Package.FName);
    if (Uses > 0)
        throw EPackageError(std::string(Operation) + "() Package " + Package.FName +
                            " is in use by " + std::to_string(Uses) +
                            " component(s) or editor(s) made from it; free them first");
}

void TPackageLoader::DropUnneededImplicitPackages() {
    // Packages that were loaded only because another one required them go with the last
    // package that required them.
    for (auto Index = FPackages.size(); Index-- > 0;) {
        // One still in use stays until it is not, and goes with a later unloading.
        if (!FPackages[Index]->FImplicit || IsRequired(FPackages[Index]->FName) ||
            ModuleUseCount(FPackages[Index]->FName) > 0)
            continue;
        std::unique_ptr<TLoadedPackage> Package = std::move(FPackages[Index]);
        FPackages.erase(FPackages.begin() + static_cast<std::ptrdiff_t>(Index));
        Unload(*Package);
        Index = FPackages.size();
    }
}

void TPackageLoader::UnloadAll() {
    for (const auto& Package : FPackages)
        CheckNotInUse("UnloadAll", *Package);
    while (!FPackages.empty()) {
        std::unique_ptr<TLoadedPackage> Package = std::move(FPackages.back());
        FPackages.pop_back();
        Unload(*Package);
    }
}

void TPackageLoader::Unload(TLoadedPackage& Package) {
    UnregisterModule(Package.FName);
    UnregisterModulePropertyEditors(Package.FName);
    std::exception_ptr FinalizationError;
    try {
        Package.FFinalize();
    } catch (...) {
        FinalizationError = std::current_exception();
    }
    UnregisterModuleResources(Package.FName);
    if (Package.FResourceHandle != nullptr)
        dlclose(Package.FResourceHandle);
    dlclose(Package.FHandle);
    if (FinalizationError)
        std::rethrow_exception(FinalizationError);
}

bool TPackageLoader::IsRequired(const std::string& Name) const {
    return std::any_of(FPackages.begin(), FPackages.end(), [&](const auto& Other) {
        const TPackageInfoTable& Info = *Other->FInfo;
        return std::any_of(Info.Requires, Info.Requires + Info.RequiresCount,
                           [&](const char* Required) { return SameTextAscii(Required, Name); });
    });
}

std::vector<const TLoadedPackage*> TPackageLoader::Packages() const {
    std::vector<const TLoadedPackage*> Result;
    for (const auto& Package : FPackages)
        Result.push_back(Package.get());
    return Result;
}

const TLoadedPackage* TPackageLoader::FindPackage(const std::string& Name) const {
    for (const auto& Package : FPackages)
        if (SameTextAscii(Package->FName, Name))
            return Package.get();
    return nullptr;
}

std::unique_ptr<TBitmap> TPackageLoader::PaletteImage(const TClass& Class) const {
    const std::string ResourceName = UpperCaseAscii(Class.Name());
    for (const auto& Package : FPackages) {
        if (!FindResource(Package->FName, ResourceName, RT_BITMAP))
            continue;
        auto Image = std::make_unique<TBitmap>();
        Image->LoadFromResourceName(Package->FName, ResourceName);
        return Image;
    }
    throw EResNotFound("No loaded package has a palette image for class " + Class.Name());
}

} // namespace vorn
