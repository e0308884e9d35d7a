# Which of our libraries each library may reach (checked by cmake/LinkRules.cmake; the
# diagram is in docs/ARCHITECTURE.md). A new library gets its rule here in the same change.
include(LinkRules)

# The rules. Lower rooms first; a room may reach what the rooms it links may reach.
set(vfda_framework VfdaToolkit)
set(vfda_host_side VemorSub ${vfda_framework})
set(vfda_config_side vfda_config vfda_resources ${vfda_host_side})

# The framework and the host's libraries know nothing of the module.
vfda_link_rule(VfdaToolkit)
vfda_link_rule(vfda_line_tools)
vfda_link_rule(VemorSub MAY_REACH ${vfda_framework})
foreach(loaded IN ITEMS VemorDbm VemorRun VemorDsg)
    vfda_link_rule(${loaded} MAY_REACH ${vfda_host_side})
endforeach()

# The module's rooms: resources, then the configuration (a leaf beside the host link), then
# the editor and the communication code, which never reach each other nor the entry table.
# The frame codec is pure: bytes in, bytes or a decoded answer out.
vfda_link_rule(vfda_frame_codec)
vfda_link_rule(vfda_resources MAY_REACH ${vfda_framework})
vfda_link_rule(vfda_config MAY_REACH vfda_resources ${vfda_host_side})
vfda_link_rule(vfda_host_link MAY_REACH vfda_resources ${vfda_host_side})
vfda_link_rule(vfda_editor MAY_REACH ${vfda_config_side})
vfda_link_rule(vfda_comm MAY_REACH vfda_frame_codec vfda_host_link ${vfda_config_side})
vfda_link_rule(vfda_driver MAY_REACH vfda_comm vfda_frame_codec vfda_editor vfda_host_link ${vfda_config_side})
vfda_link_rule(VfdaDrv MAY_REACH vfda_driver vfda_comm vfda_frame_codec vfda_editor vfda_host_link
               ${vfda_config_side})

# The tools' command lines: plain C++, reaching nothing; what is made from them at build time.
vfda_link_rule(vfda_cli)
vfda_link_rule(vfda_cli_documents MAY_REACH vfda_cli)
# The drives stand alone: the simulator checks the module, so it shares none of its code.
vfda_link_rule(vfda_sim MAY_REACH vfda_cli vfda_line_tools ${vfda_framework})
# A strict JSON reader for the hosts' files: plain C++, reaching nothing.
vfda_link_rule(vfda_json)
# Hosts load the module; they never link its entry table, its editor or its communication
# runtime: what they know of the drive comes from the frame codec's library.
vfda_link_rule(vfda_hostkit MAY_REACH ${vfda_host_side})
vfda_link_rule(vfda_host_usage MAY_REACH vfda_cli)
vfda_link_rule(vfda_host_parts MAY_REACH vfda_host_usage vfda_cli vfda_json vfda_hostkit vfda_frame_codec
               ${vfda_config_side})
vfda_link_rule(vfda-host MAY_REACH vfda_host_parts vfda_host_usage vfda_cli vfda_json vfda_hostkit vfda_frame_codec
               vfda_sim vfda_line_tools ${vfda_config_side})
