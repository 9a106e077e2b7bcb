#include "platform/audio/cd/cddrives.h"

#include "platform/audio/disc/cdiohandles.h"
#include "platform/audio/disc/cdiolog.h"
#include "platform/audio/drive/realdrive.h"
#include "platform/audio/image/virtualdrive.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace fs = std::filesystem;

namespace {

constexpr const char* kImagesVariable = "MIVO_DISC_IMAGES";
constexpr const char* kCdioDevicesVariable = "MIVO_CDIO_DEVICES";

std::vector<std::string> SplitPathList(const std::string& list) {
    std::vector<std::string> paths;
    std::istringstream in(list);
    for (std::string path; std::getline(in, path, ':');)
        if (!path.empty())
            paths.push_back(path);
    return paths;
}

bool IsSheet(const fs::directory_entry& entry) {
    std::string ext = entry.path().extension().string();
    return entry.is_regular_file() && (ext == ".cue" || ext == ".toc");
}

std::vector<std::string> SheetsIn(const fs::path& folder) {
    std::vector<std::string> sheets;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error))
        if (IsSheet(entry))
            sheets.push_back(entry.path().string());
    std::sort(sheets.begin(), sheets.end());
    return sheets;
}

std::vector<std::string> OpticalDevices() {
    std::vector<std::string> devices;
    const DeviceListHandle list(cdio_get_devices(DRIVER_DEVICE));
    for (char** device = list.get(); device != nullptr && *device != nullptr; ++device)
        devices.emplace_back(*device);
    return devices;
}

} // namespace

std::vector<std::string> DiscImagePaths(const std::string& dataFolder) {
    if (const char* list = std::getenv(kImagesVariable))
        return SplitPathList(list);
    return SheetsIn(fs::path(dataFolder) / "discs");
}

std::vector<std::string> CdioDevicePaths() {
    const char* list = std::getenv(kCdioDevicesVariable);
    return list != nullptr ? SplitPathList(list) : std::vector<std::string>{};
}

std::string DeviceNode(const std::string& path) {
    std::error_code error;
    const fs::path node = fs::canonical(path, error);
    return error ? path : node.string();
}

std::vector<ListedDrive> ListCdDrives(const std::string& dataFolder) {
    InstallCdioLogHandler();
    std::vector<ListedDrive> drives;
    for (const std::string& device : OpticalDevices())
        drives.push_back({DeviceNode(device), std::make_unique<RealDrive>(device)});
    for (const std::string& path : CdioDevicePaths()) {
        std::error_code error;
        const fs::file_status status = fs::status(path, error);
        const bool device = fs::is_block_file(status) || fs::is_character_file(status);
        drives.push_back({device ? DeviceNode(path) : std::string(),
                          std::make_unique<RealDrive>(path, DRIVER_UNKNOWN)});
    }
    for (const std::string& image : DiscImagePaths(dataFolder))
        drives.push_back({{}, std::make_unique<VirtualDrive>(image)});
    return drives;
}
