// seal_package FILE: records the digest of a built executable in its digest slot.

#include <iostream>
#include <string>

#include "tools/package_sealer.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: seal_package FILE\n";
    return 2;
  }
  std::string error;
  if (!velmora::SealFile(argv[1], error)) {
    std::cerr << "seal_package: " << error << '\n';
    return 1;
  }
  return 0;
}
