// kestrel-solve: analyses a model file (MODEL.kst) or a neutral file
// (FILE.dat) from the command line. docs/kestrel-solve.md.
#include "app/batch.h"

#include <cstdio>

int main(int argc, char** argv) {
    return batch::run(argc, argv, stdout, stderr);
}
