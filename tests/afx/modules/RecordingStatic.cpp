// A second static object, in a translation unit linked after the application's.
extern "C" void AfxTestRecord(const char* event);

namespace {

struct OtherStatic {
  OtherStatic() { AfxTestRecord("other-static-constructed"); }
  ~OtherStatic() { AfxTestRecord("other-static-destroyed"); }
};

OtherStatic other;

}  // namespace
