# fish completion for velquin-scan: options, files for the options that name one, files and
# folders for PATH.

complete -c velquin-scan -F
complete -c velquin-scan -s h -l help -d 'Print a summary of the options and exit'
complete -c velquin-scan -s V -l version -d 'Print the version and exit'
complete -c velquin-scan -s d -l database -r -d 'Signature list to use'
complete -c velquin-scan -l exclude -x -d 'Neither check nor enter what matches GLOB'
complete -c velquin-scan -s x -l one-file-system -d 'Do not enter mount points'
complete -c velquin-scan -s j -l jobs -x -d 'Threads that read the tree (1: no read-ahead)'
complete -c velquin-scan -s n -l dry-run -d 'Detect and report only: end no process, delete nothing'
complete -c velquin-scan -l json -r -d 'Also write the report as JSON to FILE'
complete -c velquin-scan -l log -r -d 'Also append the text report to FILE'
complete -c velquin-scan -s q -l quiet -d 'Print detection lines and the report only'
complete -c velquin-scan -l quarantine -x -a '(__fish_complete_directories (commandline -ct) "quarantine folder")' -d 'Move detected files into DIR instead of deleting'
complete -c velquin-scan -l restore -x -a '(__fish_complete_directories (commandline -ct) "quarantine folder")' -d 'Put the files of a quarantine DIR back'
complete -c velquin-scan -l fingerprint -r -d 'Print the fingerprint of each FILE'
complete -c velquin-scan -l lookup -x -d 'Print the malware name of FINGERPRINT'
