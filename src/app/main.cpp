#include "app/Main.h"

int main(int argc, char** argv) { return typeloom::app::RunMain(argc, argv); }
