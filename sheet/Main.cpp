#include "sheet/SheetCommand.h"

int main(int argc, char** argv) { return taxlink::sheet::RunSheetCommand(argc, argv); }
