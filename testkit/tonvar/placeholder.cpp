// Keeps the platform-neutral test kit library non-empty before its generators arrive.
namespace tonvar::testkit {
int KitVersion() { return 1; }
}  // namespace tonvar::testkit
