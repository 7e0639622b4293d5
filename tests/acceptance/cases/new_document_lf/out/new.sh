#!/bin/sh
echo new
