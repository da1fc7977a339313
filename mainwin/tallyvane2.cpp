#include <iostream>

int main() {
    std::cout << "Tallyvane 2: the main window is not built yet." << std::endl;
    return 0;
}
