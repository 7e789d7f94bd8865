// A loadable library without the package entry points.
extern "C" __attribute__((visibility("default"))) int NotAPackage() {
    return 0;
}
