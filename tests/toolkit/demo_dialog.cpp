// Shows the toolkit's demo dialog until it is closed: a look at the runtime's classic controls.
#include "tests/toolkit/DemoDialog.h"

int main() {
    DemoDialog dialog;
    dialog.Show();
    tk::Run();
    return 0;
}
