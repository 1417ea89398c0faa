#include "core/DeviceInfo.h"

#include <sys/utsname.h>

#include <utility>

namespace orvenda {

namespace {

constexpr std::pair<std::string_view, std::string_view> kModels[] = {
    {"i386", "Simulator"},
    {"iPad1,1", "iPad"},
    {"iPad2,1", "iPad 2"}, {"iPad2,2", "iPad 2"}, {"iPad2,3", "iPad 2"}, {"iPad2,4", "iPad 2"},
    {"iPad2,5", "iPad mini"}, {"iPad2,6", "iPad mini"}, {"iPad2,7", "iPad mini"},
    {"iPad3,1", "iPad 3"}, {"iPad3,2", "iPad 3"}, {"iPad3,3", "iPad 3"},
    {"iPad3,4", "iPad 4"}, {"iPad3,5", "iPad 4"}, {"iPad3,6", "iPad 4"},
    {"iPad4,1", "iPad Air"}, {"iPad4,2", "iPad Air"}, {"iPad4,3", "iPad Air"},
    {"iPad4,4", "iPad Mini2"}, {"iPad4,5", "iPad Mini2"}, {"iPad4,6", "iPad Mini2"},
    {"iPad4,7", "iPad Mini3"}, {"iPad4,8", "iPad Mini3"}, {"iPad4,9", "iPad Mini3"},
    {"iPad5,1", "iPad Mini4"}, {"iPad5,2", "iPad Mini4"},
    {"iPad5,3", "iPad Air2"}, {"iPad5,4", "iPad Air2"},
    {"iPad6,11", "iPad 5"}, {"iPad6,12", "iPad 5"},
    {"iPad6,3", "iPad Pro9.7"}, {"iPad6,4", "iPad Pro9.7"},
    {"iPad6,7", "iPad Pro12.9"}, {"iPad6,8", "iPad Pro12.9"},
    {"iPad7,3", "iPad Pro10.5"}, {"iPad7,4", "iPad Pro10.5"},
    {"iPhone1,1", "iPhone1"},
    {"iPhone1,2", "iPhone 3"}, {"iPhone2,1", "iPhone 3"},
    {"iPhone3,1", "iPhone 4"}, {"iPhone3,3", "iPhone 4"},
    {"iPhone4,1", "iPhone 4S"},
    {"iPhone5,1", "iPhone 5"}, {"iPhone5,2", "iPhone 5"},
    {"iPhone5,3", "iPhone 5c"}, {"iPhone5,4", "iPhone 5c"},
    {"iPhone6,1", "iPhone 5s"}, {"iPhone6,2", "iPhone 5s"},
    {"iPhone7,1", "iPhone 6 Plus"},
    {"iPhone7,2", "iPhone 6"},
    {"iPhone8,1", "iPhone 6s"},
    {"iPhone8,2", "iPhone 6s Plus"},
    {"iPhone8,4", "iPhone SE"},
    {"iPhone9,1", "iPhone 7"}, {"iPhone9,3", "iPhone 7"},
    {"iPhone9,2", "iPhone 7 Plus"}, {"iPhone9,4", "iPhone 7 Plus"},
    {"iPhone10,1", "iPhone 8"}, {"iPhone10,4", "iPhone 8"},
    {"iPhone10,2", "iPhone 8 Plus"}, {"iPhone10,5", "iPhone 8 Plus"},
    {"iPhone10,3", "iPhone X"}, {"iPhone10,6", "iPhone X"},
    {"iPod1,1", "iPod Touch"},
    {"iPod2,1", "iPod Touch2"}, {"iPod3,1", "iPod Touch3"}, {"iPod4,1", "iPod Touch4"},
    {"iPod5,1", "iPod Touch5"},
    {"iPod7,1", "iPod Touch6"},
};

} // namespace

std::string DeviceInfo::machineIdentifier()
{
    utsname info{};
    if (uname(&info) != 0)
        return {};
    return info.machine;
}

std::string DeviceInfo::deviceNameForMachine(std::string_view machine)
{
    for (const auto& [id, name] : kModels)
        if (id == machine)
            return std::string(name);
    for (std::string_view family : {"iPod", "iPad", "iPhone"})
        if (machine.find(family) != std::string_view::npos)
            return family == "iPod" ? "iPod Touch" : std::string(family);
    return "Simulator";
}

const std::string& DeviceInfo::deviceName()
{
    static const std::string name = deviceNameForMachine(machineIdentifier());
    return name;
}

// ORVENDA_VERSION and ORVENDA_BUILD_NUMBER come from the build.
std::string DeviceInfo::versionString()
{
    return ORVENDA_VERSION " (" ORVENDA_BUILD_NUMBER ")";
}

} // namespace orvenda
