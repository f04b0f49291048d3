#pragma once

// Loads component packages into a form designer: shared libraries that export the
// package entry points Initialize, Finalize and GetPackageInfoTable.
//
// A package is opened privately (its symbols are not made available to later modules)
// and its entry points are looked up in that module itself. Loading then:
//   1. opens the packages it requires that this loader does not hold yet, from the same
//      folder (lib<Name>.so); the host framework's own packages ("vcl40", "VCLDB40") are
//      always present;
//   2. looks for a language resource module beside the package, named after the package
//      (lib<Name>.so) with the loader's language appended ("libVornData.so.DEU"); its resources are
//      registered under the package's name and take the place of the package's own, which
//      the package registers for the names the resource module lacks;
//   3. runs Initialize, then every contained unit's Register with the registrations
//      belonging to the package.
// Unloading undoes it all in reverse: registrations of classes, palette entries and
// property editors, Finalize, the package's resources, the resource module, the module.
// A step that fails undoes the steps before it and raises EPackageError.

#include "host/components/graphics/Bitmap.h"
#include "host/components/model/Exception.h"
#include "host/components/model/Package.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace vorn {

class EPackageError : public Exception {
public:
    using Exception::Exception;
};

// The entry point a language resource module exports.
inline constexpr const char* ResourceModuleEntryPoint = "GetResourceModuleTable";

class TLoadedPackage {
public:
    const std::string& Name() const { return FName; }
    const std::filesystem::path& FileName() const { return FFileName; }
    const TPackageInfoTable& Info() const { return *FInfo; }
    // The language resource module in use, or an empty path.
    const std::filesystem::path& ResourceModuleFileName() const { return FResourceFileName; }
    // Loaded because another package required it, not by request.
    bool Implicit() const { return FImplicit; }

private:
    friend class TPackageLoader;
    std::string FName;
    std::filesystem::path FFileName;
    std::filesystem::path FResourceFileName;
    void* FHandle = nullptr;
    void* FResourceHandle = nullptr;
    const TPackageInfoTable* FInfo = nullptr;
    void (*FFinalize)() = nullptr;
    bool FImplicit = false;
};

class TPackageLoader {
public:
    // Language: the suffix of the language resource modules looked for ("ENU", "DEU").
    explicit TPackageLoader(std::string Language = "ENU");
    // Unloads every package still loaded, the last loaded first; while any is in use,
    // none (see UnloadAll).
    ~TPackageLoader();
    TPackageLoader(const TPackageLoader&) = delete;
    TPackageLoader& operator=(const TPackageLoader&) = delete;

    // Loads the package file; a package already loaded is returned as it is.
    const TLoadedPackage& LoadPackage(const std::filesystem::path& FileName);
    // Unloads the package named Name, and then the packages loaded only for it that are
    // not in use. Raises for a package this loader does not hold, one that a loaded
    // package requires, or one in use: a component made from one of its classes, or a
    // property editor of its registrations, is alive (ModuleUse.h).
    void UnloadPackage(const std::string& Name);
    // Raises, unloading nothing, while any package is in use.
    void UnloadAll();

    // The loaded packages in load order.
    std::vector<const TLoadedPackage*> Packages() const;
    const TLoadedPackage* FindPackage(const std::string& Name) const;

    // The palette image of a class: the bitmap resource named after the class in upper
    // case, from the first loaded package that has one. Raises EResNotFound when none has.
    std::unique_ptr<TBitmap> PaletteImage(const TClass& Class) const;

private:
    TLoadedPackage& Load(const std::filesystem::path& FileName, bool Implicit);
    void LoadRequiredPackages(const TLoadedPackage& Package);
    void LoadResourceModule(TLoadedPackage& Package);
    void Start(TLoadedPackage& Package);
    void Unload(TLoadedPackage& Package);
    void DropUnneededImplicitPackages();
    bool IsRequired(const std::string& Name) const;
    void CheckNotInUse(const char* Operation, const TLoadedPackage& Package) const;

    std::string FLanguage;
    std::vector<std::unique_ptr<TLoadedPackage>> FPackages;
};

// The file name of a package in a folder: lib<Name>.so.
std::filesystem::path PackageFileName(const std::filesystem::path& Folder, const std::string& Name);

} // namespace vorn
