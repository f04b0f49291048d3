#include "host/components/Component.h"

#include <iostream>

int main() {
    vorn::TComponent Form(nullptr);
    Form.SetName("Form1");
    std::cout << "Created " << Form.Name() << "\n";
    return 0;
}
