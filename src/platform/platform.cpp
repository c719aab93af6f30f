// Anchors the platform layer's library; the interfaces are header-only.
namespace kestrova {
void PlatformAnchor() {}
}  // namespace kestrova
