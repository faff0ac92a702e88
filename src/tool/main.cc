#include "tool/run.h"

int main(int argc, char** argv) { return rw::runRegwright(argc, argv); }
