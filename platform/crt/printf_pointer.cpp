// printf's %p as the Windows C runtime writes it: 16 upper-case hexadecimal digits on 64-bit,
// no "0x" prefix, so that "dxColor = 0x%p" and the message trace read as they do on Windows.
// glibc lets a program redefine a conversion; it is done when this library is loaded.
#include <printf.h>
#include <stdint.h>
#include <stdio.h>

namespace {

int PrintPointer(FILE *stream, const struct printf_info *info, const void *const *args) {
  const void *pointer = *static_cast<const void *const *>(args[0]);
  char digits[32];
  snprintf(digits, sizeof digits, "%016llX", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(pointer)));
  return fprintf(stream, "%*s", info->left ? -info->width : info->width, digits);
}

int PointerArguments(const struct printf_info *, size_t count, int *types, int *sizes) {
  if (count > 0) {
    types[0] = PA_POINTER;
    sizes[0] = sizeof(void *);
  }
  return 1;
}

__attribute__((constructor)) void UseWindowsPointerFormat() {
  register_printf_specifier('p', PrintPointer, PointerArguments);
}

}  // namespace
