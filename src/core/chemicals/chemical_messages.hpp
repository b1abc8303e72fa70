#pragma once
// The texts of the chemical table's operations and of the material manager
// and add material windows. UTF-8.

namespace verdanel::msg {

// Scenario window: usable chemical list and loading the chosen chemical
inline constexpr const char* kNoUsableChemicals =
    "사용가능한 물질이 없습니다. 물질정보관리 기능에서 물질정보를 편집/추가 하십시오.";
inline constexpr const char* kChosenChemicalNotFound = "해당 물질정보를 찾을 수 없습니다.";

// Material manager
inline constexpr const char* kMaterialManagerTitle = "물질정보 관리";
inline constexpr const char* kNoChemicals = "물질이 없습니다. 물질정보를 추가 하십시오.";
inline constexpr const char* kChemicalNotFound = "물질정보를 찾을 수 없습니다.";
inline constexpr const char* kApplyEditsQuestion = "%s의 물질정보를 수정합니다. 수정 후 되돌릴 수 없습니다.";
inline constexpr const char* kDeleteChemicalQuestion = "화학물질: %s 의 정보를 삭제하시겠습니까?";
inline constexpr const char* kNameListLabel = " 물 질 명";
inline constexpr const char* kPropertyGroupTitle = "물 질 정 보";
inline constexpr const char* kRequiredLegend = "필수 항목 표시 :";
inline constexpr const char* kOptionalLegend = "선택 항목 표시:";
inline constexpr const char* kDeleteButton = "삭제";
inline constexpr const char* kAddButton = "새로운 물질 추가...";
inline constexpr const char* kResetButton = "초기화";
inline constexpr const char* kApplyButton = "물질 정보 편집 적용";

// Add material window
inline constexpr const char* kAddMaterialTitle = "물질 추가";
inline constexpr const char* kAddMaterialPrompt = "새롭게 추가할 물질 명을 입력하세요.";
inline constexpr const char* kEnterChemicalName = "물질명을 입력하세요";
inline constexpr const char* kChemicalNameExists = "해당물질은 이미 존재하는 이름입니다.";

// Labels of the 21 property fields, column 1 to 21 in order.
inline constexpr const char* kPropertyLabels[21] = {
    "cas no.",
    "분자량(g/mole)",
    "녹는점(℃)",
    "용해도(mg/l)",
    "증기압력(Pa)",
    "헨리상수(atmm3/mole)",
    "분자부피(㎥/mole)",
    "토양흡탈착계수(Koc)",
    "분배계수(Kow)",
    "공기 중 반감기(hour)",
    "물 속 반감기(hour)",
    "토양 속 반감기(hour)",
    "BCF",
    "deg_water(/hour)",
    "deg_sediment(/hour)",
    "deg_bare soil(/hour)",
    "deg_vegetation soil(/hour)",
    "deg_vegetation(/hour)",
    "deg_air(/hour)",
    "공기 중 확산계수(㎡/hour)",
    "물 속 확산계수(㎡/hour)",
};

}  // namespace verdanel::msg
