# Drives vorndesigner through a short session and through its errors. Expects DESIGNER
# and WORK_DIR.
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
set(form ${WORK_DIR}/form.json)

# Runs the designer; expect_status is 0 or "fail".
function(designer expect_status)
    execute_process(COMMAND ${DESIGNER} ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out
                    ERROR_VARIABLE err)
    if(expect_status STREQUAL "fail")
        if(status EQUAL 0)
            message(FATAL_ERROR "vorndesigner ${ARGN} succeeded but should have failed")
        endif()
    elseif(NOT status EQUAL 0)
        message(FATAL_ERROR "vorndesigner ${ARGN} failed (${status}): ${err}")
    endif()
    set(out "${out}" PARENT_SCOPE)
    set(err "${err}" PARENT_SCOPE)
endfunction()

function(expect_in text wanted)
    string(FIND "${text}" "${wanted}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "Expected to find\n${wanted}\nin\n${text}")
    endif()
endfunction()

designer(0 palette)
expect_in("${out}" "Vorn\n  TDBSortComboBox\n  TDBLocateEdit\n  TDBGridTitleSort\n  TDBFilterGrid\n  TDBFieldComboBox\n")
designer(0 palette TDBGridTitleSort ${WORK_DIR}/sorter.png)
file(READ ${WORK_DIR}/sorter.png signature LIMIT 8 HEX)
if(NOT signature STREQUAL "89504e470d0a1a0a")
    message(FATAL_ERROR "The palette image is no PNG file: ${signature}")
endif()
designer(fail palette TDBGridTitleSort ${WORK_DIR}/sorter.gif)
expect_in("${err}" "must end in .png or .bmp")

designer(0 new ${form} DesignedForm)
designer(fail new ${form} OtherForm)
expect_in("${err}" "already exists")
designer(0 add ${form} TDBGrid)
designer(0 add ${form} TDataSource)
designer(0 add ${form} TDBGridTitleSort)
designer(0 add ${form} TDBGridTitleSort)
expect_in("${out}" "DBGridTitleSort2")
designer(0 set ${form} DataSource DataSource1 DBGrid1)
designer(0 set ${form} ClickedTitleMask "%t (%i)" DBGridTitleSort1 DBGridTitleSort2)
designer(0 properties ${form} DBGridTitleSort1 DBGridTitleSort2)
expect_in("${out}" "ClickedTitleMask = %t (%i)\n  editor TDBGridTitleSortMaskProperty, attributes 137 (paValueList, paMultiSelect, paRevertable)\n  values: \"%t (sorted)\" \"%t %s\" \"%t (%i)\" \"%i: %t\"\n")

# Errors say what was wrong, exit non-zero and leave the form file as it was.
file(READ ${form} before)
foreach(case "add;TNoSuchClass;Class TNoSuchClass not found"
             "set;Colour;1;DBGrid1;has no published property Colour"
             "set;UnSort;maybe;DBGridTitleSort1;Invalid value \"maybe\" for property UnSort"
             "set;DataSource;Nowhere;DBGrid1;Invalid value \"Nowhere\" for property DataSource"
             "set;Name;Twin;DBGridTitleSort1;DBGridTitleSort2;Property Name cannot be edited on 2 components at once")
    list(POP_BACK case message)
    list(POP_FRONT case command)
    designer(fail ${command} ${form} ${case})
    expect_in("${err}" "${message}")
    file(READ ${form} after)
    if(NOT after STREQUAL before)
        message(FATAL_ERROR "vorndesigner ${command} ${case} changed the form file")
    endif()
endforeach()
file(GLOB leftovers ${WORK_DIR}/*.tmp ${WORK_DIR}/*~)
if(leftovers)
    message(FATAL_ERROR "Temporary files were left behind: ${leftovers}")
endif()
file(REMOVE_RECURSE ${WORK_DIR})
