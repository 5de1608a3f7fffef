#include "app/Main.h"
#include "app/Windows.h"

int main(int argc, char** argv) { return typeloom::app::RunMain(argc, argv, typeloom::app::MakeProgramWindows); }
