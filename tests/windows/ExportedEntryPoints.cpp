// Entry points with the module's signatures, for linking a DLL from the
// module's module-definition file. The module proper needs Qt and OpenCV,
// which have no Windows builds here; the export table is what the .def file
// decides, whatever the functions do.

class Base;

extern "C" {

Base* create() {
    return nullptr;
}

void destory(Base* /*module*/) {}
}
