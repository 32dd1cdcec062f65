// The shipped content, loaded the way the game loads it: everything must load
// without an error line, every design must be valid, and every scenario's AI
// fleets must resolve within the scenario's limits. Pictures and sounds the
// content names must exist in the built game folder; those the generator does
// not draw yet are printed as warnings.
#include "app/MusicTracks.h"
#include "engine/APP_UserFolders.h"
#include "engine/GDebugLog.h"
#include "engine/GFileHelpers.h"
#include "engine/GHashTable.h"
#include "engine/GSafeFile.h"
#include "engine/TextHelpers.h"
#include "sim/SIM_BehaviourType.h"
#include "sim/SIM_DeployedFleet.h"
#include "sim/SIM_DeployedShip.h"
#include "sim/SIM_FleetLimits.h"
#include "sim/SIM_Race.h"
#include "sim/SIM_Scenario.h"
#include "sim/SIM_ShipDesign.h"
#include "sim/SIM_ShipHull.h"
#include "sim/SIM_ShipModuleType.h"
#include "sim/SIM_ShipNameGenerator.h"
#include "sim/SIM_ShipOrders.h"
#include "sim/SIM_SurvivalMode.h"
#include "sim/SIM_Unlockable.h"
#include "sim/modules/SIM_ModuleFactory.h"
#include "sim/modules/SIM_StaticModule.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <iterator>
#include <map>
#include <set>
#include <typeinfo>

namespace fs = std::filesystem;

namespace {

class ContentCheck : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_user = new TempDir;
        s_cwd = new ScopedChdir(QLM_GAME_DIR);
        APP_UserFolders::GetInstance().Create(s_user->Path());
        GDebugLog::GetInstance().Open(s_user->Path());
        s_errorsBefore = GDebugLog::GetInstance().GetErrorCount();
        SIM_Scenario::LoadAll();
        SIM_BehaviourType::LoadAll();
        SIM_ShipNameGenerator::GetInstance().LoadAll();
        SIM_Race::LoadAll();
        SIM_ShipModuleType::LoadAll();
        SIM_ShipHull::LoadAll();
        SIM_ShipDesign::LoadAll();
        s_loadErrors = GDebugLog::GetInstance().GetErrorCount() - s_errorsBefore;
    }

    static void TearDownTestSuite()
    {
        SIM_ShipDesign::FreeAll();
        SIM_ShipHull::FreeAll();
        SIM_ShipModuleType::FreeAll();
        SIM_Race::FreeAll();
        SIM_Scenario::FreeAll();
        SIM_BehaviourType::FreeAll();
        GDebugLog::GetInstance().Close();
        delete s_cwd;
        delete s_user;
    }

    // Every file name below data/bitmaps (textures are found by name in any sub-folder).
    static std::set<std::string> BitmapNames()
    {
        std::set<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator("data/bitmaps"))
            if (entry.is_regular_file())
                names.insert(entry.path().filename().string());
        return names;
    }

    static TempDir* s_user;
    static ScopedChdir* s_cwd;
    static int s_errorsBefore;
    static int s_loadErrors;
};

TempDir* ContentCheck::s_user = nullptr;
ScopedChdir* ContentCheck::s_cwd = nullptr;
int ContentCheck::s_errorsBefore = 0;
int ContentCheck::s_loadErrors = 0;

} // namespace

TEST_F(ContentCheck, EverythingLoadsWithoutAnErrorLine)
{
    EXPECT_EQ(s_loadErrors, 0) << s_user->Read("debug/errors.txt");
    EXPECT_GE(SIM_Race::GetList().size(), 2u);
    EXPECT_NE(SIM_Race::Find("federation"), nullptr);
    EXPECT_GE(SIM_ShipHull::GetList().size(), 6u);
    EXPECT_FALSE(SIM_ShipModuleType::GetList().empty());
    EXPECT_FALSE(SIM_ShipDesign::GetList().empty());
    for (const char* name : {"tutorial1", "scenario1", "scenario2"})
        EXPECT_NE(SIM_Scenario::FindByName(name), nullptr) << name;
}

TEST_F(ContentCheck, EveryDesignIsValid)
{
    for (const SIM_ShipDesign* design : SIM_ShipDesign::GetList()) {
        EXPECT_TRUE(design->IsValid()) << design->GetName() << " (" << design->GetFileName() << ")";
        EXPECT_NE(design->GetHull(), nullptr) << design->GetName();
    }
}

TEST_F(ContentCheck, EveryScenarioFleetResolvesWithinItsLimits)
{
    int errors = GDebugLog::GetInstance().GetErrorCount();
    for (SIM_Scenario* scenario : SIM_Scenario::GetList()) {
        if (scenario->GetType() == 1)
            continue; // survival fleets come wave by wave
        for (int difficulty = 0; difficulty < 3; ++difficulty) {
            scenario->SetDifficulty(difficulty);
            std::string path = scenario->GetEnemyFleetPath();
            SCOPED_TRACE(scenario->GetName() + " " + path);
            ASSERT_TRUE(FileExists(path));
            SIM_DeployedFleet fleet;
            ASSERT_TRUE(fleet.Load(path, scenario, false));
            EXPECT_GT(fleet.GetTotalShips(), 0);
            for (const auto& ship : fleet.GetShips()) {
                EXPECT_NE(SIM_ShipDesign::Find(ship->design), nullptr) << ship->design;
            }
            if (scenario->GetFleetCostLimit() > 0) {
                EXPECT_LE(fleet.GetTotalCost(), static_cast<float>(scenario->GetFleetCostLimit()));
            }
            EXPECT_FALSE(fleet.ExceedsSupplyLimits(scenario));
            EXPECT_FALSE(fleet.HasDisabledModules(scenario));
        }
        scenario->SetDifficulty(0);
    }
    EXPECT_EQ(GDebugLog::GetInstance().GetErrorCount(), errors) << s_user->Read("debug/errors.txt");
}

// Every class of module our content offers flies in some AI fleet, and every
// module of those fleets is built by the factory as its own class: nothing is
// left to a do-nothing stand-in, so a battle against our fleets exercises
// every class the player can buy.
TEST_F(ContentCheck, TheAIFleetsFlyEveryModuleClassAndTheFactoryBuildsEach)
{
    std::set<std::string> offered;
    for (const SIM_ShipModuleType* type : SIM_ShipModuleType::GetList())
        if (type->GetConfigFloat("hidden", 0.0f) <= 0.0f)
            offered.insert(type->GetClassName());
    EXPECT_GE(offered.size(), 25u);

    std::map<std::string, std::string> flownBy; // class -> a fleet file that flies it
    SIM_ShipOrders orders;
    for (SIM_Scenario* scenario : SIM_Scenario::GetList()) {
        if (scenario->GetType() == SIM_Scenario::SURVIVAL)
            continue; // its fleets and waves fly the designs the others do
        for (int difficulty = 0; difficulty < 3; ++difficulty) {
            scenario->SetDifficulty(difficulty);
            const std::string path = scenario->GetEnemyFleetPath();
            SIM_DeployedFleet fleet;
            ASSERT_TRUE(fleet.Load(path, scenario, false)) << path;
            for (const auto& ship : fleet.GetShips()) {
                const SIM_ShipDesign* design = SIM_ShipDesign::Find(ship->design);
                ASSERT_NE(design, nullptr) << ship->design;
                for (const SIM_ShipDesign::FittedModule& fitted : design->GetModules()) {
                    if (!fitted.moduleType)
                        continue;
                    const std::string& cls = fitted.moduleType->GetClassName();
                    if (flownBy.count(cls))
                        continue;
                    SIM_ModuleFactory::Built built = SIM_ModuleFactory::Create(fitted.moduleType, &orders);
                    ASSERT_NE(built.module, nullptr) << cls << " of " << design->GetName();
                    const SIM_ShipModule& module = *built.module;
                    EXPECT_NE(typeid(module), typeid(SIM_StaticModule)) << cls << " is a stand-in";
                    flownBy[cls] = path;
                }
            }
        }
        scenario->SetDifficulty(0);
    }
    for (const std::string& cls : offered)
        EXPECT_TRUE(flownBy.count(cls)) << "no AI fleet flies a " << cls;
}

// ---- what a new player owns and what the shop sells ----

namespace {

bool RaceLocked(const std::string& race)
{
    const SIM_Race* r = SIM_Race::Find(race, false);
    return r && r->IsLocked();
}

// Locked for a new player: lockable itself, or a hull of a race still for sale.
bool HullLocked(const SIM_ShipHull* hull)
{
    return hull->GetUnlockable()->IsLockable() || RaceLocked(hull->GetRaceName());
}

// The sample deployments' own scenario; "deployed" (the default one) has none.
SIM_Scenario* ScenarioNamed(const std::string& name)
{
    for (SIM_Scenario* scenario : SIM_Scenario::GetList())
        if (scenario->GetName() == name)
            return scenario;
    return nullptr;
}

std::string SampleDeployment(const std::string& scenario)
{
    return "data/sample deployment/" + scenario + ".txt";
}

} // namespace

TEST_F(ContentCheck, EveryLockableItemHasACostAndStartsLocked)
{
    int modules = 0, hulls = 0, races = 0;
    for (const SIM_Unlockable* item : SIM_Unlockable::GetList()) {
        if (!item->IsLockable())
            continue;
        EXPECT_GT(item->GetUnlockCost(), 0) << item->GetName();
        EXPECT_TRUE(item->IsLocked()) << item->GetName(); // the user folder is new
        modules += item->GetKind() == SIM_Unlockable::MODULE_TYPE;
        hulls += item->GetKind() == SIM_Unlockable::HULL;
        races += item->GetKind() == SIM_Unlockable::RACE;
    }
    // Every tab of the shop has something to sell.
    EXPECT_GE(modules, 20);
    EXPECT_GE(hulls, 1);
    EXPECT_GE(races, 1);
}

// The sample deployments (the tutorial's among them) fly only what a new
// player owns, so a first battle needs no purchase.
TEST_F(ContentCheck, SampleDeploymentsUseOnlyWhatANewPlayerOwns)
{
    int files = 0;
    for (const auto& entry : fs::directory_iterator("data/sample deployment")) {
        if (entry.path().extension() != ".txt")
            continue;
        ++files;
        const std::string stem = entry.path().stem().string();
        SIM_DeployedFleet fleet;
        ASSERT_TRUE(fleet.Load(entry.path().string(), ScenarioNamed(stem), true)) << entry.path();
        ASSERT_GT(fleet.GetTotalShips(), 0) << entry.path();
        for (const auto& ship : fleet.GetShips()) {
            const SIM_ShipDesign* design = SIM_ShipDesign::Find(ship->design);
            ASSERT_NE(design, nullptr) << ship->design;
            EXPECT_FALSE(HullLocked(design->GetHull())) << stem << ": " << design->GetHull()->GetName();
            for (const SIM_ShipDesign::FittedModule& fitted : design->GetModules())
                if (fitted.moduleType) {
                    EXPECT_FALSE(fitted.moduleType->GetUnlockable()->IsLockable())
                        << stem << ": " << design->GetName() << " fits " << fitted.moduleType->GetName();
                }
        }
    }
    EXPECT_GE(files, 6);
    EXPECT_TRUE(fs::exists(SampleDeployment("tutorial1")));
}

// A win pays the budget the player's fleet leaves unspent, once per scenario
// and difficulty. With the sample deployments, a new player who wins the
// tutorial and the first skirmish can buy something in every tab, and after
// that every win or two buys something new (cheapest first) until the shop
// is empty.
TEST_F(ContentCheck, WinsBuySomethingInEveryTabAfterTwoAndSomethingNewEveryWinOrTwo)
{
    // The order the scenario list offers them: the first two open from the
    // start, the rest after the first skirmish; easy first, then medium. A
    // tutorial offers no difficulty: it is won on easy only, so the road
    // holds nine wins.
    const std::vector<std::string> road = {"tutorial1", "scenario1", "supply1", "nebula1", "scenario2"};
    std::vector<int> pay;
    for (int round = 0; round < 2; ++round)
        for (const std::string& name : road) {
            SIM_Scenario* scenario = ScenarioNamed(name);
            ASSERT_NE(scenario, nullptr) << name;
            if (round > 0 && scenario->GetType() == SIM_Scenario::TUTORIAL)
                continue;
            SIM_DeployedFleet fleet;
            ASSERT_TRUE(fleet.Load(SampleDeployment(name), scenario, true)) << name;
            pay.push_back(scenario->GetFleetCostLimit() - static_cast<int>(fleet.GetTotalCost()));
            EXPECT_GT(pay.back(), 0) << name;
        }

    struct Item {
        const SIM_Unlockable* unlock;
        std::string race; // a hull's race, which must be bought first
    };
    std::vector<Item> forSale;
    for (const SIM_Unlockable* item : SIM_Unlockable::GetList()) {
        if (!item->IsLockable())
            continue;
        std::string race;
        if (item->GetKind() == SIM_Unlockable::HULL)
            race = static_cast<const SIM_ShipHull*>(item->GetOwner())->GetRaceName();
        forSale.push_back({item, race});
    }
    std::sort(forSale.begin(), forSale.end(),
              [](const Item& a, const Item& b) { return a.unlock->GetUnlockCost() < b.unlock->GetUnlockCost(); });

    const int afterTwo = pay[0] + pay[1];
    for (int kind : {SIM_Unlockable::MODULE_TYPE, SIM_Unlockable::HULL, SIM_Unlockable::RACE}) {
        const bool affordable = std::any_of(forSale.begin(), forSale.end(), [&](const Item& i) {
            return i.unlock->GetKind() == kind && i.unlock->GetUnlockCost() <= afterTwo && !RaceLocked(i.race);
        });
        EXPECT_TRUE(affordable) << "tab " << kind << ": nothing for " << afterTwo << " points";
    }

    std::set<std::string> bought;
    int points = 0, winsWithoutPurchase = 0;
    for (size_t win = 0; win < pay.size() && bought.size() < forSale.size(); ++win) {
        points += pay[win];
        bool boughtSomething = true;
        const size_t before = bought.size();
        while (boughtSomething) {
            boughtSomething = false;
            for (const Item& item : forSale) {
                const bool raceOwned = item.race.empty() || !RaceLocked(item.race) || bought.count(item.race);
                if (bought.count(item.unlock->GetName()) || !raceOwned || item.unlock->GetUnlockCost() > points)
                    continue;
                points -= item.unlock->GetUnlockCost();
                bought.insert(item.unlock->GetName());
                boughtSomething = true;
                break;
            }
        }
        winsWithoutPurchase = bought.size() > before ? 0 : winsWithoutPurchase + 1;
        EXPECT_LT(winsWithoutPurchase, 2) << "wins 1 to " << win + 1 << " bought nothing new at " << points;
    }
    // Not all at once: the shop lasts beyond the first few wins.
    EXPECT_EQ(pay.size(), 9u);
    EXPECT_LT(bought.size(), forSale.size()) << "nine wins bought the whole shop";
}

// Each module class has pictures of its own and each size its own mark: no
// two module types of different classes or sizes share an icon name, and no
// two of different classes share an icon's picture either.
TEST_F(ContentCheck, ModuleIconsTellClassesAndSizesApart)
{
    std::map<std::string, const SIM_ShipModuleType*> byIcon;
    std::map<std::string, const SIM_ShipModuleType*> byPicture;
    for (const SIM_ShipModuleType* type : SIM_ShipModuleType::GetList()) {
        if (!type->IsVisible())
            continue;
        const std::string& icon = type->GetIconName();
        EXPECT_NE(icon, "turret") << type->GetName() << " borrows the race's turret picture";
        auto [named, fresh] = byIcon.emplace(icon, type);
        if (!fresh) {
            EXPECT_EQ(named->second->GetClassName(), type->GetClassName())
                << type->GetName() << " and " << named->second->GetName() << " share " << icon;
            EXPECT_EQ(named->second->GetSize(), type->GetSize())
                << type->GetName() << " and " << named->second->GetName() << " share " << icon;
            continue;
        }
        std::ifstream in("data/bitmaps/icons/" + icon, std::ios::binary);
        ASSERT_TRUE(in) << icon;
        std::stringstream bytes;
        bytes << in.rdbuf();
        auto [drawn, unique] = byPicture.emplace(bytes.str(), type);
        EXPECT_TRUE(unique || drawn->second->GetClassName() == type->GetClassName())
            << icon << " draws the same picture as " << drawn->second->GetIconName();
    }
    EXPECT_GE(byIcon.size(), 60u);
}

// A text a content file names for the screens (a name, a description, a
// tooltip, a message) is a key of a string table: the player never reads the
// raw key. Plain texts (a design's own name) are not keys and pass.
TEST_F(ContentCheck, EveryTextKeyTheContentNamesHasAText)
{
    GHashTable table;
    table.LoadSection("data/strings.ini", false);
    table.LoadSection("campaign/data/campaign_strings.txt", true);
    ASSERT_GT(table.GetRecordCount(), 1000u);
    const std::set<std::string> textFields = {"guiname", "description", "tooltip", "message", "title"};
    const auto isTextField = [&](std::string key) {
        std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return std::tolower(c); });
        const auto endsWith = [&](const std::string& tail) {
            return key.size() > tail.size() && key.compare(key.size() - tail.size(), tail.size(), tail) == 0;
        };
        return textFields.count(key) > 0 || endsWith("_tooltip") || endsWith("_message");
    };
    const auto isKey = [](const std::string& v) {
        return v.size() > 2 && std::isupper(static_cast<unsigned char>(v[0])) && v.find('_') != std::string::npos &&
               std::all_of(v.begin(), v.end(), [](unsigned char c) { return std::isupper(c) || std::isdigit(c) || c == '_'; });
    };
    int named = 0;
    std::set<std::string> facilityKeys;
    for (const char* root : {"data", "campaign/data"}) {
        for (const auto& entry : fs::recursive_directory_iterator(root)) {
            const std::string ext = entry.path().extension().string();
            const std::string file = entry.path().filename().string();
            if (!entry.is_regular_file() || (ext != ".txt" && ext != ".ini") || file == "strings.ini" ||
                file == "campaign_strings.txt")
                continue;
            std::string text;
            ASSERT_TRUE(ReadWholeFile(entry.path().string(), text)) << entry.path();
            std::istringstream lines(text);
            for (std::string line; std::getline(lines, line);) {
                const size_t eq = line.find('=');
                if (eq == std::string::npos || line.empty() || line[0] == ';' || line[0] == '[')
                    continue;
                const std::string key = TrimWhitespace(line.substr(0, eq));
                std::string value = TrimWhitespace(line.substr(eq + 1));
                if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
                    value = value.substr(1, value.size() - 2);
                if (!isTextField(key) || !isKey(value))
                    continue;
                ++named;
                if (entry.path().parent_path().filename() == "facilities")
                    facilityKeys.insert(value);
                EXPECT_NE(std::string(table.Lookup(value.c_str())), "")
                    << entry.path().string() << ": " << key << " = " << value << " has no text";
            }
        }
    }
    // The modules' names and descriptions alone are well over a hundred.
    EXPECT_GE(named, 150);
    // Each facility's name and the description its tooltip shows.
    EXPECT_EQ(facilityKeys.size(), 12u);
}

TEST_F(ContentCheck, PicturesTheContentNamesExist)
{
    std::set<std::string> have = BitmapNames();
    std::set<std::string> wanted;
    for (const SIM_ShipHull* hull : SIM_ShipHull::GetList())
        wanted.insert(hull->GetSprite());
    for (const SIM_ShipModuleType* type : SIM_ShipModuleType::GetList())
        // "turret" means the race's own turret picture, checked with the races
        if (!type->GetIconName().empty() && type->GetIconName() != "turret")
            wanted.insert(type->GetIconName());
    for (const SIM_Race* race : SIM_Race::GetList()) {
        if (!race->GetLogo().empty())
            wanted.insert(race->GetLogo());
        for (const auto& turret : race->GetTurrets())
            if (!turret.texture.empty())
                wanted.insert(turret.texture);
    }
    int missing = 0;
    for (const std::string& name : wanted) {
        if (have.count(name))
            continue;
        ++missing;
        std::cout << "warning: the generator does not draw " << name << " yet\n";
    }
    std::cout << wanted.size() - missing << " of " << wanted.size() << " named pictures are drawn\n";
    // The fonts and the interface art are always there.
    EXPECT_TRUE(have.count("zekton16.dds"));
    EXPECT_TRUE(have.count("cwfont20.dds"));
}

TEST_F(ContentCheck, SoundsTheGameNamesExist)
{
    for (const char* sound : {"data/sounds/cruiser_engine_drone.ogg",
                              "data/sounds/fighter_engine_drone.ogg", "data/sounds/explosion_impact_cruiser4.ogg",
                              "data/sounds/explosion_impact_frigate2.ogg", "data/sounds/explosion_impact_fighter1.ogg",
                              "data/sounds/explosion_destruction_cruiser2.ogg",
                              "data/sounds/explosion_destruction_frigate2.ogg",
                              "data/sounds/explosion_destruction_fighter3.ogg"})
        EXPECT_TRUE(FileExists(sound)) << sound;
    // Music: every track a screen or a race names (scenarios name none).
    std::set<std::string> music(std::begin(MusicTracks::kScreenTracks), std::end(MusicTracks::kScreenTracks));
    for (const SIM_Race* race : SIM_Race::GetList()) {
        EXPECT_FALSE(race->GetMusic().empty()) << race->GetName() << " names no music";
        music.insert(race->GetMusic());
    }
    EXPECT_GE(music.size(), 6u); // two races' themes besides the four screen tracks
    for (const std::string& name : music)
        EXPECT_TRUE(FileExists("data/sounds/music/" + name)) << name;
    // Weapons name their firing sounds by path.
    for (const SIM_ShipModuleType* type : SIM_ShipModuleType::GetList()) {
        std::string sound = type->GetConfigString("sound");
        if (!sound.empty()) {
            EXPECT_TRUE(FileExists(sound)) << type->GetName() << ": " << sound;
        }
    }
}

// ---- battle effects: their pictures, sounds and every damage-location kind ----

TEST_F(ContentCheck, BattleEffectPicturesAndSoundsExist)
{
    std::set<std::string> have = BitmapNames();
    std::set<std::string> wanted = {"particles.dds",   "shield_blast2.dds", "shield_scroll.dds", "bullets.dds",
                                    "missile.dds",     "shield_impact.dds", "shield_collapse.dds"};
    for (const SIM_Race* race : SIM_Race::GetList())
        wanted.insert(race->GetShield());
    // What guns and missiles show in flight.
    wanted.insert({"missile_flare.dds", "contrails.dds", "plasma.dds"});
    EXPECT_TRUE(FileExists("data/particleconfigs/fragmented_plasma_torpedo.txt")) << "a fragmented torpedo's trail";
    // The space around battles: rocks, stars, every scenario's terrain
    // pictures and shader; at least two scenarios bring shaders of their own.
    wanted.insert({"asteroids.dds", "star.dds"});
    std::set<std::string> shaders;
    for (const SIM_Scenario* scenario : SIM_Scenario::GetList()) {
        for (const std::string& line : scenario->GetTerrainLines()) {
            std::string field = line;
            for (int i = 0; i < 3; ++i)
                field.erase(0, field.find(',') + 1);
            wanted.insert(field.substr(0, field.find(',')));
        }
        if (!scenario->GetShader().empty()) {
            shaders.insert(scenario->GetShader());
            EXPECT_TRUE(FileExists(scenario->GetShader() + ".frag")) << scenario->GetShader();
        }
    }
    EXPECT_GE(shaders.size(), 2u);
    for (const char* effect : {"shader", "motionblur", "depth", "stencil", "nebulalightning"})
        EXPECT_TRUE(FileExists(std::string("data/shaders/") + effect + ".fx.frag")) << effect;
    for (const SIM_ShipModuleType* type : SIM_ShipModuleType::GetList()) {
        if (*type->GetConfigString("blasttexture"))
            wanted.insert(type->GetConfigString("blasttexture"));
    }
    for (const std::string& name : wanted)
        EXPECT_TRUE(have.count(name)) << name;
    EXPECT_TRUE(FileExists("data/sounds/shields_fail.ogg"));
    // Damage locations name an emitter kind the ship visual knows.
    for (const SIM_ShipHull* hull : SIM_ShipHull::GetList())
        for (const SIM_ShipHull::Target& target : hull->GetTargets())
            if (target.named) {
                EXPECT_TRUE(target.name == "SHIP_EMMITER_LARGE" || target.name == "SHIP_EMMITER_SMALL" ||
                            target.name == "SHIP_EMMITER_THIN")
                    << hull->GetName() << ": " << target.name;
            }
}

// The deployment screen offers each scenario's sample fleet: it must be one
// the player may fight with. A survival scenario's every wave must arrive.
TEST_F(ContentCheck, SampleFleetsFitTheirScenariosAndEverySurvivalWaveLoads)
{
    int samples = 0, waves = 0;
    for (SIM_Scenario* scenario : SIM_Scenario::GetList()) {
        SCOPED_TRACE(scenario->GetName());
        const std::string sample = "data/sample deployment/" + scenario->GetName() + ".txt";
        if (std::filesystem::exists(sample)) {
            SIM_DeployedFleet fleet;
            ASSERT_TRUE(fleet.Load(sample, scenario, true));
            const SIM_FleetLimits limits(*scenario, fleet);
            EXPECT_FALSE(limits.IsTooExpensive());
            EXPECT_FALSE(limits.HasTooManyPilots());
            ++samples;
        }
        if (scenario->GetType() != SIM_Scenario::SURVIVAL)
            continue;
        SIM_SurvivalMode& survival = SIM_SurvivalMode::GetInstance();
        ASSERT_TRUE(survival.LoadWaves(scenario->GetSurvivalWavesPath()));
        std::set<std::string> read = {std::filesystem::path(scenario->GetSurvivalWavesPath()).filename().string()};
        for (const SIM_SurvivalMode::Wave& wave : survival.GetWaves()) {
            SIM_DeployedFleet fleet;
            EXPECT_TRUE(fleet.Load(scenario->GetEnemyFleetPath(wave.name), scenario, false)) << wave.name;
            EXPECT_GT(fleet.GetTotalShips(), 0) << wave.name;
            read.insert(wave.name);
            ++waves;
        }
        // Survival opens on its first wave whatever the difficulty: its
        // folder (as the repository holds it) has the waves and nothing that
        // is never read.
        const std::filesystem::path folder = std::filesystem::path(QLM_SOURCE_DIR) /
                                             std::filesystem::path(scenario->GetSurvivalWavesPath()).parent_path();
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            EXPECT_TRUE(read.count(entry.path().filename().string())) << entry.path() << " is never read";
    }
    EXPECT_GE(samples, 5);
    EXPECT_GE(waves, 3);
}
