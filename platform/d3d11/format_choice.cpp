// Which backing each DXGI format has on one Vulkan device (format_choice.h).
//
// Sharing is asked of the device with the image's own description (2-D, optimal tiling, the
// usage every texture has) and the opaque file-descriptor handle type. A device may share a
// format only through dedicated allocations (VK_EXTERNAL_MEMORY_FEATURE_DEDICATED_ONLY_BIT);
// exported memory always is one, since OpenGL imports it as such.
#include "format_choice.h"

#include "common/log.h"

namespace ilk::d3d11 {
namespace {

// Whether `physical` can make images of `format` with `tiling`, and with `external`, export and
// import them.
bool Supports(VkPhysicalDevice physical, const TextureFormat &format, VkImageTiling tiling, bool external) {
  VkPhysicalDeviceExternalImageFormatInfo external_info = {VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_EXTERNAL_IMAGE_FORMAT_INFO};
  external_info.handleType = VK_EXTERNAL_MEMORY_HANDLE_TYPE_OPAQUE_FD_BIT;
  VkPhysicalDeviceImageFormatInfo2 info = {VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_IMAGE_FORMAT_INFO_2};
  info.pNext = external ? &external_info : nullptr;
  info.format = format.backing;
  info.type = VK_IMAGE_TYPE_2D;
  info.tiling = tiling;
  info.usage = ImageUsage(format);
  VkExternalImageFormatProperties external_properties = {VK_STRUCTURE_TYPE_EXTERNAL_IMAGE_FORMAT_PROPERTIES};
  VkImageFormatProperties2 properties = {VK_STRUCTURE_TYPE_IMAGE_FORMAT_PROPERTIES_2};
  properties.pNext = external ? &external_properties : nullptr;
  if (vkGetPhysicalDeviceImageFormatProperties2(physical, &info, &properties) != VK_SUCCESS) return false;
  const VkExternalMemoryFeatureFlags both =
      VK_EXTERNAL_MEMORY_FEATURE_EXPORTABLE_BIT | VK_EXTERNAL_MEMORY_FEATURE_IMPORTABLE_BIT;
  return !external || (external_properties.externalMemoryProperties.externalMemoryFeatures & both) == both;
}

}  // namespace

std::vector<ChosenFormat> ChooseFormats(VkPhysicalDevice physical) {
  std::vector<ChosenFormat> chosen;
  for (DXGI_FORMAT dxgi : TextureDxgiFormats()) {
    ChosenFormat choice;
    for (const TextureFormat *backing : Backings(dxgi)) {
      if (Supports(physical, *backing, VK_IMAGE_TILING_OPTIMAL, true)) {
        choice = {backing, true};
        break;
      }
      if (!choice.format && Supports(physical, *backing, VK_IMAGE_TILING_OPTIMAL, false)) choice = {backing, false};
    }
    // Swap chains' buffers are of colour formats only.
    if (choice.format && (choice.format->aspects & VK_IMAGE_ASPECT_COLOR_BIT)) {
      choice.linear = Supports(physical, *choice.format, VK_IMAGE_TILING_LINEAR, false);
    }
    if (choice.format && choice.format != Backings(dxgi).front()) {
      Trace("DXGI format %d is backed by Vulkan format %d: the device cannot share the preferred one", (int)dxgi,
            (int)choice.format->backing);
    }
    if (!choice.sharable) Log("the Vulkan device cannot share textures of DXGI format %d with OpenGL", (int)dxgi);
    if (choice.format) chosen.push_back(choice);
  }
  return chosen;
}

}  // namespace ilk::d3d11
