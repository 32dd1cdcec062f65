#pragma once
#include <string>
#include <vector>

// The installed content packages (data/packages/*.pkg) and whether the
// campaign content is present.
class APP_ContentPackage {
public:
    struct Package {
        std::string name;
        std::string uiName;
    };

    // Loaded on first use.
    static APP_ContentPackage& GetInstance();

    APP_ContentPackage() = default;

    // Reads the package files below the working folder and, with the
    // campaign present, adds its strings to the string table.
    void Load();
    bool HasPackage(const std::string& name) const;
    bool HasCampaign() const { return m_campaign; }
    const std::vector<Package>& GetPackages() const { return m_packages; }

private:
    std::vector<Package> m_packages;
    bool m_campaign = false;
};
