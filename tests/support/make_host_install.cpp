// Writes a made-up host installation into a folder, for end-to-end runs and for trying
// the import by hand:
//   make_host_install FOLDER            the small one the tests use
//   make_host_install FOLDER --large    a category of 3,000 vehicles
#include <cstdio>
#include <string>

#include "host_fixture.h"

int main(int argc, char** argv) {
    const bool large = argc == 3 && std::string(argv[2]) == "--large";
    if (argc != 2 && !large) {
        std::fputs("usage: make_host_install FOLDER [--large]\n", stderr);
        return 2;
    }
    namespace fixture = rvk::hostfixture;
    fixture::WriteInstallation(
        large ? fixture::LargeInstallation(3000, 300, 1) : fixture::SmallInstallation(), argv[1]);
    return 0;
}
