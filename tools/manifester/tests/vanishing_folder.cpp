// Put in front of the C library in zk-manifester by its run tests
// (LD_PRELOAD): the folder named by ZK_VANISHING_FOLDER, as the program
// names it, is renamed to the same name with ".gone" after it just before
// the program opens it for listing the second time. The program lists its
// target once to check it and once to walk it, so the target disappears
// between the two, at a point no test could otherwise reach.
#include <dirent.h>
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" DIR* opendir(const char* name) {
    typedef DIR* (*OpenDir)(const char*);
    static OpenDir next = reinterpret_cast<OpenDir>(dlsym(RTLD_NEXT, "opendir"));
    static int openings = 0;
    const char* vanishing = getenv("ZK_VANISHING_FOLDER");
    if (vanishing && strcmp(name, vanishing) == 0 && ++openings == 2) {
        rename(name, (std::string(name) + ".gone").c_str());
    }
    return next(name);
}
