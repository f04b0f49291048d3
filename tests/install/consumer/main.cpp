// An application built against an installed VornData: it starts the package, uses a
// component and says what it saw.

#include "Source/DBGridTitleSort.h"
#include "Source/VornData.h"
#include "host/components/graphics/Resources.h"

#include <iostream>

int main() {
    Initialize();
    int Status = 1;
    {
        vorn::TComponent Owner(nullptr);
        auto* Sorter = new vorn::TDBGridTitleSort(&Owner);
        Sorter->SetClickedTitleMask("%t (%i)");
        const bool HasImage =
            vorn::FindResource(vorn::VornDataModuleName, "TDBGRIDTITLESORT", vorn::RT_BITMAP)
                .has_value();
        std::cout << GetPackageInfoTable()->Name << " "
                  << GetPackageInfoTable()->Version.ProductVersion << " " << Sorter->ClassName()
                  << " " << Sorter->ClickedTitleMask()
                  << (HasImage ? " with palette image" : " without palette image") << "\n";
        Status = 0;
    }
    Finalize();
    return Status;
}
