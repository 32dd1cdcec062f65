#pragma once
#include <string>
#include <vector>

// One kind of standing order, a row of "data/behaviors.csv". Types live in a
// global list in table order from the first load until FreeAll.
class SIM_BehaviourType {
public:
    static constexpr const char* kFileName = "data/behaviors.csv";
    // '#', the name and the fifteen values of a row.
    static constexpr size_t kColumns = 17;

    // Builds a type from one table row and appends it to the global list.
    explicit SIM_BehaviourType(const std::string& row);
    virtual ~SIM_BehaviourType();
    SIM_BehaviourType(const SIM_BehaviourType&) = delete;
    SIM_BehaviourType& operator=(const SIM_BehaviourType&) = delete;

    static void LoadAll();
    static void FreeAll();
    // Loads the table when the list is empty; null (reported) for an unknown name.
    static SIM_BehaviourType* Find(const std::string& name);
    static const std::vector<SIM_BehaviourType*>& GetList();

    std::string GetName() const { return name; }

    std::string name;
    std::string displayText;
    std::string secondText;
    bool usesFloat1 = false;
    bool usesFloat2 = false;
    bool shipLinked = false; // takes a target ship; never saved as a design default
    std::string thirdText;
    std::string fourthText;
    float min1 = 0.0f;
    float max1 = 0.0f;
    float min2 = 0.0f;
    float max2 = 0.0f;
    std::string kind1; // "PERCENTAGE" or "FLOAT"
    std::string kind2;
    float default1 = 0.0f;
    float default2 = 0.0f;
};
