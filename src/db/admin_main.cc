// Program entry of tamsu-admin.
#include "db/admin.h"

int main(int argc, char** argv) { return AdminMain(argc, argv, stdout, stderr); }
