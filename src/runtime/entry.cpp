// The process entry of every program: settings, start-up, Game_Main, the one exit path.
#include <new>

#include "base/error_state.h"
#include "kvn/base.h"
#include "platform/system.h"
#include "runtime/recording_switches.h"
#include "runtime/runtime_state.h"

namespace kvn {

void program_entry(void* instance, int32_t show_code) {
    set_end_handler(end_runtime);
    start_recording_or_replay();
    runtime.command_line_text = StringValue(platform::command_line().c_str());
    runtime.sub_table = kvn_sub_table;
    Set_Project_Defaults();
    note_run_for_recording();
    try {
        runtime_init(instance, show_code, project_settings.title);
        // Without a window nothing of the program can run.
        if (!main_window()) end_program();
        error_state.error_line = 0;
        error_state.error_code = 0;
        error_state.current_line = 0;
        Game_Main();
    } catch (const std::bad_alloc&) {
        // An allocation that no command turned into a failed load or a fatal end itself.
        fatal_out_of_memory();
    }
    end_program();
}

}  // namespace kvn
